#include "schedule/BackupRunner.h"

#include "backup/ApplyRetention.h"
#include "backup/BackupPlan.h"
#include "backup/MeasureSpace.h"
#include "backup/ProgramBackup.h"
#include "backup/RunCancel.h"
#include "backup/SpaceForecast.h"
#include "backup/WrittenFileCheck.h"
#include "history/RestoreTestLog.h"
#include "history/RunHistory.h"
#include "schedule/ClockCheck.h"
#include "schedule/Schedule.h"
#include "schedule/SecondCopyStep.h"
#include "settings/BackupSettings.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <memory>

Q_LOGGING_CATEGORY(lcRunner, "kvz.run")

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kNamesKeptMs = 48LL * 60 * 60 * 1000;
// The history's latest runs the wall clock is weighed against.
constexpr int kClockEvidenceRuns = 50;

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
    // The end of this process's last run whose clock was trusted, for a history that lacks it.
    ClockReading lastTrustedEnd;
};

// A damaged or locked history leaves only an empty or missing file to be caught, and never costs the run.
QList<qint64> RecentSizes(const RunHistory &history, const QString &database)
{
    const Result<QList<qint64>> sizes = history.recentSizes(database, kComparedBackups);
    return sizes ? sizes.value() : QList<qint64>{};
}

double RunsPerDayOf(const BackupSettings &settings)
{
    const int interval = IntervalIndexOf(settings.interval);
    const std::optional<std::chrono::seconds> length = IntervalLength(interval);
    const int minutes = interval == kDailyInterval ? kMinutesPerDay : length ? int(length->count() / 60) : 0;
    return RunsPerDay(minutes, DailyHourOf(settings.dailyHour).has_value());
}

// Read before this run's record is appended: the record then knows whether it may age older ones out.
std::optional<QString> CheckClock(const RunnerState &state, const ClockReading &reading,
                                  const QString &folder, const QString &database, const QString &ownFile)
{
    QList<OwnBackup> backups;
    if (IsVisibleFolder(folder))
        if (const Result<QList<FolderEntry>> entries = ListFolder(folder))
            backups = OwnBackups(entries.value(), database);
    // An unreadable history leaves the folder and this process's own runs to judge by.
    const Result<QList<RunRecord>> runs = state.history.recent(kClockEvidenceRuns);
    if (!runs)
        qCWarning(lcRunner).noquote() << runs.failure().reason << runs.failure().detail;
    ClockEvidence evidence = GatherClockEvidence(runs ? runs.value() : QList<RunRecord>(), backups, ownFile);
    if (state.lastTrustedEnd.wall.isValid())
        evidence.lastEnd = state.lastTrustedEnd;
    return ClockDoubt(reading, evidence);
}

// "ESKİ YEDEKLERİ SAKLA": only after a run that succeeded (and was verified when asked), never otherwise.
void ClearOldBackups(BackupResult &result, RunnerState &state, const QString &folder, const QString &database,
                     const QDateTime &now, int keepDays)
{
    // The history knows the order the backups were really made in; without it the files' own times do.
    const Result<QStringList> earlier = state.history.successfulNames(std::max(keepDays, kMinBackupsKept));
    if (!earlier)
        qCWarning(lcRunner).noquote() << earlier.failure().reason << earlier.failure().detail;
    const QStringList newestFirst =
        QStringList{result.filePath} + (earlier ? earlier.value() : QStringList());
    const Result<RetentionReport> report = ApplyRetention(folder, database, now, keepDays, newestFirst);
    if (!report) {
        result.removed << u"eski yedekler silinemedi: %1"_s.arg(report.failure().reason);
        result.retentionProblem = u"ESKİ YEDEKLER SİLİNEMEDİ: %1"_s.arg(report.failure().reason);
        return;
    }
    for (const QString &name : report->removed)
        result.removed << u"silindi: %1"_s.arg(name);
    for (const RetentionRefusal &refusal : report->refusals) {
        // A folder this machine cannot see is said once, not after every run.
        if (refusal.name.isEmpty() && std::exchange(state.invisibleFolderTold, true))
            continue;
        result.removed << refusal.reason;
    }
    QStringList failed;
    for (const RemovalFailure &failure : report->failures) {
        result.removed << u"silinemedi: %1 (%2)"_s.arg(failure.name, failure.failure.detail);
        failed << failure.name;
    }
    if (!failed.isEmpty())
        result.retentionProblem = u"ESKİ YEDEKLER SİLİNEMEDİ: %1. Klasöre yazma izni verin ya da dosyayı "
                                  "kullanan programı kapatın."_s.arg(failed.join(u", "_s));
}

// After a restore test found the database damaged, the damage may be in every recent backup too: an older
// one may be the last good copy, so none goes until a later test is clean.
std::optional<QString> RetentionHeld(const QString &programFolder)
{
    const Result<bool> paused = RestoreTestLog(programFolder).retentionPaused();
    if (!paused)
        qCWarning(lcRunner).noquote() << paused.failure().reason << paused.failure().detail;
    if (!paused || !paused.value())
        return std::nullopt;
    return u"eski yedekler silinmedi: son geri yükleme denemesinde veritabanında bozukluk bulundu; temiz bir "
           "deneme olana kadar hiçbir yedek silinmez"_s;
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
                                   const ElapsedClock &elapsed, std::function<void(int percent)> progress,
                                   std::shared_ptr<RunCancel> cancel,
                                   std::function<void(int percent)> copyProgress)
{
    auto state = std::make_shared<RunnerState>(programFolder);
    return [programFolder, now = std::move(now), &elapsed, progress = std::move(progress),
            cancel = std::move(cancel), copyProgress = std::move(copyProgress), state] {
        const QDateTime time = now();
        const ClockReading reading{time, elapsed.elapsed().count(), elapsed.bootId()};
        if (!std::exchange(state->namesLoaded, true)) {
            // A damaged or locked history costs only this memory across a restart, never the run.
            if (const Result<QStringList> names = state->history.namesSince(time.addSecs(-48 * 3600)))
                for (const QString &name : names.value())
                    state->made.add(name);
        }
        BackupResult result = RunProgramBackup(
            programFolder, time,
            [&](const QString &path) {
                return state->made.contains(ServerFileName(path)) ||
                       (QDir::isAbsolutePath(path) && QFileInfo::exists(path));
            },
            kLoginTimeoutSeconds, progress, cancel.get());
        if (!result.plannedPath.isEmpty())
            state->made.add(ServerFileName(result.plannedPath));

        const Result<BackupSettings> settings = LoadBackupSettings(SettingsFiles::BackupFile(programFolder));
        const Result<ConnectionValues> values =
            LoadConnectionValues(SettingsFiles::ConnectionFile(programFolder));
        // Every run, failed ones too: their records would age the history out by the same clock.
        const std::optional<QString> doubt = CheckClock(
            *state, reading, settings ? settings->folder : QString(), values ? values->database : QString(),
            result.ok ? result.filePath : result.plannedPath);
        if (doubt) {
            result.clockWarning = *doubt;
            qCWarning(lcRunner).noquote() << *doubt;
        } else {
            state->lastTrustedEnd = {now(), elapsed.elapsed().count(), elapsed.bootId()};
        }
        if (!result.ok)
            return result;

        CheckWrittenFile(result, values ? RecentSizes(state->history, values->database) : QList<qint64>{});
        if (!result.ok || !settings || !values)
            return result;
        // Before the first folder loses its old backups: a catch-up may still want them.
        CopyToSecondFolder(
            result, settings.value(), values->database, time, doubt.has_value(), state->history,
            {.progress = copyProgress, .cancelled = [&cancel] { return cancel && cancel->isCancelled(); }});
        const int keepDays = KeepDaysOf(settings->keepDays).value_or(0);
        const std::optional<QString> held = keepDays > 0 ? RetentionHeld(programFolder) : std::nullopt;
        if (keepDays > 0 && doubt)
            result.removed << *doubt;
        else if (held)
            result.removed << *held;
        else if (keepDays > 0)
            ClearOldBackups(result, *state, settings->folder, values->database, time, keepDays);
        ForecastRoom(result, settings->folder, values->database, settings.value(), keepDays);
        return result;
    };
}
