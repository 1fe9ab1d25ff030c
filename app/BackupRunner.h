#pragma once

#include "app/Clock.h"
#include "backup/BackupJob.h"

// The run the program makes: the settings files of the program folder, the file named by the clock.
BackupJob::Runner MakeBackupRunner(const QString &programFolder, const Clock &clock);
