#include "app/BackupRunner.h"

#include "backup/RunBackup.h"

#include <memory>

BackupJob::Runner MakeBackupRunner(const QString &programFolder, const Clock &clock)
{
    // Runs follow one another on one worker, so the last good file needs no lock.
    auto lastGoodFile = std::make_shared<QString>();
    return [programFolder, &clock, lastGoodFile] {
        BackupResult result = RunBackup(
            programFolder, [&clock] { return clock.now(); }, kLoginTimeoutSeconds, *lastGoodFile);
        if (result.ok)
            *lastGoodFile = result.filePath;
        return result;
    };
}
