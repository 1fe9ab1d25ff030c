#include "schedule/BackupRunner.h"

#include "backup/ApplyRetention.h"
#include "backup/MeasureSpace.h"
#include "backup/ProgramBackup.h"
#include "backup/SpaceForecast.h"
#include "history/RunHistory.h"
#include "schedule/Schedule.h"
#include "settings/BackupSettings.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <memory>

Q_LOGGING_CATEGORY(lcRunner, "kvz.run")

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kNamesKeptMs = 48LL * 60 * 60 * 1000;

// The file name of a path as the server writes it, with either separator.
QString NameOf(const QString &path)
{
    static const QRegularExpression kSeparator(u"[/\\\\]"_s);
    return path.section(kSeparator, -1);
}

// The names this program made, kept long enough to cover a clock set back by a day (or the repeated hour
// of autumn) even where the folder lies on the server's machine and cannot be looked into from here.
class MadeNames {
public:
    MadeNames() { age_.start(); }

    void add(const QString &name)
    {
        const qint64 now = age_.elapsed();
        while (!made_.isEmpty() && now - made_.front().second > kNamesKeptMs)
            made_.removeFirst();
        made_.append({name, now});
    }
    bool contains(const QString &name) const
    {
        return std::any_of(made_.cbegin(), made_.cend(),
                           [&](const auto &entry) { return entry.first == name; });
    }

private:
    QElapsedTimer age_;
    QList<std::pair<QString, qint64>> made_;
};

// What the runner keeps from run to run; runs follow one another on one worker, so it needs no lock.
struct RunnerState {
    explicit RunnerState(const QString &programFolder) : history(programFolder) {}

    RunHistory history;
    MadeNames made;
    bool namesLoaded = false;
    bool invisibleFolderTold = false;
};

double RunsPerDayOf(const BackupSettings &settings)
{
    const int interval = IntervalIndexOf(settings.interval);
    const std::optional<std::chrono::seconds> length = IntervalLength(interval);
    const int minutes = interval == kDailyInterval ? kMinutesPerDay : length ? int(length->count() / 60) : 0;
    return RunsPerDay(minutes, DailyHourOf(settings.dailyHour).has_value());
}

// "ESKİ YEDEKLERİ SAKLA": only after a run that succeeded (and was verified when asked), never otherwise.
void ClearOldBackups(BackupResult &result, RunnerState &state, const QString &folder, const QString &database,
                     const QDateTime &now, int keepDays)
{
    const Result<RetentionReport> report = ApplyRetention(folder, database, now, keepDays, result.filePath);
    if (!report) {
        result.removed << u"eski yedekler silinemedi: %1"_s.arg(report.failure().reason);
        return;
    }
    for (const QString &name : report->removed)
        result.removed << u"silindi: %1"_s.arg(name);
    for (const RetentionRefusal &refusal : report->refusals) {
        // A folder this machine cannot see is said once, not after every run.
        if (refusal.name.isEmpty() && std::exchange(state.invisibleFolderTold, true))
            continue;
        result.removed << (refusal.name.isEmpty()
                               ? refusal.reason
                               : u"silinmedi: %1 (%2)"_s.arg(refusal.name, refusal.reason));
    }
    for (const RemovalFailure &failure : report->failures)
        result.removed << u"silinemedi: %1 (%2)"_s.arg(failure.name, failure.failure.detail);
}

void ForecastRoom(BackupResult &result, const QString &folder, const QString &database,
                  const BackupSettings &settings, int keepDays)
{
    const Result<SpaceFigures> figures = MeasureSpace(folder, database);
    if (!figures)
        return;
    const SpaceForecast forecast = ForecastSpace(figures->freeBytes, figures->backupsBytes, result.sizeBytes,
                                                 RunsPerDayOf(settings), keepDays);
    result.spaceText = forecast.text;
    result.spaceLow = forecast.warn;
}

} // namespace

BackupJob::Runner MakeBackupRunner(const QString &programFolder, std::function<QDateTime()> now,
                                   std::function<void(int percent)> progress,
                                   std::shared_ptr<RunCancel> cancel)
{
    auto state = std::make_shared<RunnerState>(programFolder);
    return [programFolder, now = std::move(now), progress = std::move(progress), cancel = std::move(cancel),
            state] {
        const QDateTime time = now();
        if (!std::exchange(state->namesLoaded, true)) {
            // A damaged or locked history costs only this memory across a restart, never the run.
            if (const Result<QStringList> names = state->history.namesSince(time.addSecs(-48 * 3600)))
                for (const QString &name : names.value())
                    state->made.add(name);
        }
        BackupResult result = RunProgramBackup(
            programFolder, time,
            [&](const QString &path) {
                return state->made.contains(NameOf(path)) ||
                       (QDir::isAbsolutePath(path) && QFileInfo::exists(path));
            },
            kLoginTimeoutSeconds, progress, cancel.get());
        if (!result.plannedPath.isEmpty())
            state->made.add(NameOf(result.plannedPath));
        if (!result.ok)
            return result;

        if (const QFileInfo file(result.filePath); QDir::isAbsolutePath(result.filePath) && file.isFile())
            result.sizeBytes = file.size();
        const QString backupFile = SettingsFiles::BackupFile(programFolder);
        const Result<BackupSettings> settings = LoadBackupSettings(backupFile);
        const Result<ConnectionValues> values =
            LoadConnectionValues(SettingsFiles::ConnectionFile(programFolder));
        if (!settings || !values)
            return result;
        const int keepDays = KeepDaysOf(settings->keepDays).value_or(0);
        if (keepDays > 0)
            ClearOldBackups(result, *state, settings->folder, values->database, time, keepDays);
        ForecastRoom(result, settings->folder, values->database, settings.value(), keepDays);
        return result;
    };
}
