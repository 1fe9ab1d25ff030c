#include "app/RestoreTestController.h"

#include "app/BackupController.h"
#include "backup/RunCancel.h"
#include "history/RestoreTestLog.h"
#include "history/RunHistory.h"
#include "schedule/Schedule.h"
#include "settings/BackupSettings.h"
#include "settings/SettingsFiles.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcRestoreTest, "kvz.restoretest")

namespace {

constexpr int kIntervalWatchMs = 1000;

// For the log, in the words support reads it with.
const char *VerdictWord(RestoreVerdict verdict)
{
    switch (verdict) {
    case RestoreVerdict::Clean:
        return "clean";
    case RestoreVerdict::Damaged:
        return "damaged";
    case RestoreVerdict::NotRestored:
        return "not restored";
    case RestoreVerdict::Skipped:
        return "skipped";
    case RestoreVerdict::Refused:
        return "refused";
    }
    return "unknown";
}

} // namespace

RestoreTestController::RestoreTestController(BackupController &backups, const ElapsedClock &elapsed)
    : QObject(&backups), backups_(backups), schedule_(backups.clock(), elapsed),
      cancel_(std::make_shared<RunCancel>())
{
    // As a child of the backups' controller this goes after that one's own members, the gate among them;
    // deleted before it, it leaves a gate that lets every backup through.
    backups_.setRunGate([self = QPointer(this)] { return !self || self->schedule_.backupMayStart(); });
    connect(&backups_, &BackupController::runStarted, this, [this] { schedule_.backupStarted(); });
    connect(&backups_, &BackupController::runFinished, this, &RestoreTestController::afterBackup);
    connect(&watcher_, &QFutureWatcher<RestoreTestRun>::finished, this, &RestoreTestController::finished);
    connect(&startUp_, &QFutureWatcher<std::pair<QDateTime, std::optional<RestoreTestRun>>>::finished, this,
            [this] {
                const auto &[lastTest, dropped] = startUp_.result();
                if (lastTest.isValid() && !schedule_.lastTest().isValid())
                    schedule_.setLastTest(lastTest);
                if (dropped)
                    tell(dropped->notice);
            });
    connect(&progress_, &RunProgress::changed, this,
            [this](int percent) { emit stateChanged(u"GERİ YÜKLEME DENEMESİ… %%1"_s.arg(percent)); });
    intervalWatch_.setInterval(kIntervalWatchMs);
    connect(&intervalWatch_, &QTimer::timeout, this, &RestoreTestController::watchInterval);
}

RestoreTestController::~RestoreTestController()
{
    // A restore may take hours: the program's end cuts it off, and the scratch database is still dropped.
    if (schedule_.isTestRunning() && !cancel_->cancel())
        qCWarning(lcRestoreTest) << "the driver refused to cancel the restore test";
    watcher_.waitForFinished();
    startUp_.waitForFinished();
}

void RestoreTestController::loadSettings()
{
    const Result<BackupSettings> settings =
        LoadBackupSettings(SettingsFiles::BackupFile(backups_.programFolder()));
    schedule_.setDays(settings ? RestoreTestDaysOf(settings->restoreTestDays).value_or(0) : 0);
    schedule_.setDailyHour(settings ? DailyHourOf(settings->dailyHour) : std::nullopt);
    interval_ = settings ? IntervalLength(IntervalIndexOf(settings->interval)) : std::nullopt;
}

void RestoreTestController::startUp()
{
    startUp_.setFuture(QtConcurrent::run([folder = backups_.programFolder(), &clock = backups_.clock()] {
        const Result<std::optional<RestoreTestRecord>> last = RestoreTestLog(folder).last();
        const QDateTime lastTest = last && last.value() ? last.value()->started : QDateTime();
        return std::pair(lastTest, DropRecordedLeftover(folder, [&clock] { return clock.now(); }));
    }));
}

void RestoreTestController::afterBackup(const BackupResult &result)
{
    loadSettings();
    if (schedule_.backupEnded(result.ok, result.verification == Verification::Failed))
        start(result.filePath);
}

void RestoreTestController::requestTest()
{
    loadSettings();
    if (!backups_.isRunInFlight() && schedule_.requestTest())
        start(QString());
}

void RestoreTestController::stop()
{
    if (schedule_.isTestRunning() && !cancel_->cancel())
        qCWarning(lcRestoreTest) << "the driver refused to cancel the restore test";
}

void RestoreTestController::start(const QString &backupPath)
{
    qCInfo(lcRestoreTest) << "restore test of" << backupPath;
    cancel_->reset();
    emit stateChanged(u"GERİ YÜKLEME DENEMESİ…"_s);
    // The progress object lives as long as this controller, which waits for the worker before it goes.
    watcher_.setFuture(QtConcurrent::run([folder = backups_.programFolder(), &clock = backups_.clock(),
                                          backupPath, cancel = cancel_, progress = &progress_] {
        // Asked for by the user: the newest good backup, as the history knows it.
        QString path = backupPath;
        if (path.isEmpty()) {
            const Result<std::optional<RunRecord>> good = RunHistory(folder).lastSuccess();
            if (!good || !good.value())
                return RestoreTestRun{
                    {},
                    RunNotice{u"GERİ YÜKLEME DENEMESİ YAPILAMADI"_s,
                              u"Denenecek başarılı bir yedek bulunamadı: önce YEDEKLE düğmesiyle "
                              "yedek alın."_s,
                              true},
                    good ? QString() : good.failure().reason};
            path = good.value()->file;
        }
        return RunRecordedRestoreTest(
            folder, path, [&clock] { return clock.now(); },
            [progress](int percent) { progress->report(percent); }, cancel.get());
    }));
    intervalWatch_.start();
}

// A backup that falls due waits for the test, but not longer than its own interval.
void RestoreTestController::watchInterval()
{
    if (schedule_.mustCancelFor(interval_) && !cancel_->isCancelled()) {
        qCWarning(lcRestoreTest) << "restore test cancelled: it has run longer than the backup interval";
        if (!cancel_->cancel())
            qCWarning(lcRestoreTest) << "the driver refused to cancel the restore test";
    }
}

void RestoreTestController::finished()
{
    intervalWatch_.stop();
    schedule_.testFinished();
    const RestoreTestRun run = watcher_.result();
    qCInfo(lcRestoreTest) << "restore test ended:" << VerdictWord(run.result.verdict)
                          << (run.result.left ? "(scratch database left)" : "");
    if (!run.historyProblem.isEmpty())
        qCWarning(lcRestoreTest).noquote() << run.historyProblem;
    emit stateChanged(QString());
    tell(run.notice);
    // A backup that fell due during the test starts now, not at the clock's next wake.
    backups_.tick();
}

void RestoreTestController::tell(const std::optional<RunNotice> &notice)
{
    if (!notice)
        return;
    qCInfo(lcRestoreTest).noquote() << notice->title + u": "_s + notice->text;
    emit this->notice(*notice, backups_.clock().now());
}
