#include "backup/ProgramBackup.h"

#include "backup/BackupPlacement.h"
#include "backup/RunBackup.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <memory>

namespace {

constexpr qint64 kNamesKeptMs = 48LL * 60 * 60 * 1000;

// The names this program made, kept long enough to cover a clock set back by a day (or the repeated hour
// of autumn) even where the folder lies on the server's machine and cannot be looked into from here.
class MadeNames {
public:
    MadeNames() { age_.start(); }

    void add(const QString &path)
    {
        const qint64 now = age_.elapsed();
        while (!made_.isEmpty() && now - made_.front().second > kNamesKeptMs)
            made_.removeFirst();
        made_.append({path, now});
    }
    bool contains(const QString &path) const
    {
        return std::any_of(made_.cbegin(), made_.cend(),
                           [&](const auto &entry) { return entry.first == path; });
    }

private:
    QElapsedTimer age_;
    QList<std::pair<QString, qint64>> made_;
};

BackupResult Refused(const Failure &failure)
{
    BackupResult result;
    result.reason = failure.detail.isEmpty() ? failure.reason : failure.reason + u'\n' + failure.detail;
    return result;
}

} // namespace

BackupResult RunProgramBackup(const QString &programFolder, const QDateTime &time, const IsNameTaken &isTaken,
                              int loginTimeoutSeconds, const std::function<void(int percent)> &progress)
{
    const QString backupFile = SettingsFiles::backupFile(programFolder);
    // Nothing goes to the server without a folder that is whole: a bare name would land in the server's
    // own folder, a path cut short in its parent.
    const Result<BackupSettings> settings = LoadBackupSettings(backupFile);
    const Result<QString> folder = BackupFolderFrom(settings, backupFile);
    if (!folder)
        return Refused(folder.failure());
    const Result<ConnectionValues> values =
        LoadConnectionValues(SettingsFiles::connectionFile(programFolder));
    if (!values)
        return Refused(values.failure());
    return RunBackup(values.value(), folder.value(), time, isTaken,
                     {settings->verify.trimmed() == u'1', progress, loginTimeoutSeconds});
}

BackupJob::Runner MakeBackupRunner(const QString &programFolder, std::function<QDateTime()> now,
                                   std::function<void(int percent)> progress)
{
    // Runs follow one another on one worker, so the names need no lock.
    auto made = std::make_shared<MadeNames>();
    return [programFolder, now = std::move(now), progress = std::move(progress), made] {
        // A path in this machine's own form can be looked at: a file there would be overwritten.
        BackupResult result = RunProgramBackup(
            programFolder, now(),
            [&](const QString &path) {
                return made->contains(path) || (QDir::isAbsolutePath(path) && QFileInfo::exists(path));
            },
            kLoginTimeoutSeconds, progress);
        if (!result.plannedPath.isEmpty())
            made->add(result.plannedPath);
        return result;
    };
}
