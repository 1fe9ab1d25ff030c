#pragma once

#include "backup/BackupJob.h"
#include "backup/RunBackup.h"

#include <QDateTime>
#include <functional>

// One run with the values of the settings files in the program folder, read afresh.
BackupResult RunProgramBackup(const QString &programFolder, const QDateTime &time,
                              const IsNameTaken &isTaken = {},
                              int loginTimeoutSeconds = kLoginTimeoutSeconds);

// The run the program makes: the values of the settings files in the program folder, read afresh for each
// run, and a file named after `now`. A name made in the last 48 hours, or one taken by a file in the folder
// where this machine can see it, is never used again.
// `progress` hears the server's percent on the worker thread.
BackupJob::Runner MakeBackupRunner(const QString &programFolder, std::function<QDateTime()> now,
                                   std::function<void(int percent)> progress = {});
