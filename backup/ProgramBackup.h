#pragma once

#include "backup/RunBackup.h"

#include <QDateTime>
#include <functional>

// One run with the values of the settings files in the program folder, read afresh.
BackupResult RunProgramBackup(const QString &programFolder, const QDateTime &time,
                              const IsNameTaken &isTaken = {}, int loginTimeoutSeconds = kLoginTimeoutSeconds,
                              const std::function<void(int percent)> &progress = {},
                              RunCancel *cancel = nullptr);
