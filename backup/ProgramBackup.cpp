#include "backup/ProgramBackup.h"

#include "backup/BackupPlacement.h"
#include "backup/RunBackup.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

BackupResult Refused(const Failure &failure)
{
    BackupResult result;
    result.reason = failure.detail.isEmpty() ? failure.reason : failure.reason + u'\n' + failure.detail;
    return result;
}

} // namespace

BackupResult RunProgramBackup(const QString &programFolder, const QDateTime &time, const IsNameTaken &isTaken,
                              int loginTimeoutSeconds, const std::function<void(int percent)> &progress,
                              RunCancel *cancel)
{
    const QString backupFile = SettingsFiles::BackupFile(programFolder);
    // Nothing goes to the server without a folder that is whole: a bare name would land in the server's
    // own folder, a path cut short in its parent.
    const Result<BackupSettings> settings = LoadBackupSettings(backupFile);
    const Result<QString> folder = BackupFolderFrom(settings, backupFile);
    if (!folder)
        return Refused(folder.failure());
    const Result<ConnectionValues> values =
        LoadConnectionValues(SettingsFiles::ConnectionFile(programFolder));
    if (!values)
        return Refused(values.failure());
    // A value nobody can read as yes or no verifies: a damaged backup must not pass for a good one.
    return RunBackup(values.value(), folder.value(), time, isTaken,
                     {VerifyOf(settings->verify).value_or(true), progress, loginTimeoutSeconds, cancel});
}
