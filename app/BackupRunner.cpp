#include "app/BackupRunner.h"

#include "backup/RunBackup.h"

BackupJob::Runner MakeBackupRunner(const QString &programFolder, const Clock &clock)
{
    return [programFolder, &clock] { return RunBackup(programFolder, [&clock] { return clock.now(); }); };
}
