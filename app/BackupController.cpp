#include "app/BackupController.h"

#include "app/RunRecorder.h"
#include "backup/RunCancel.h"
#include "schedule/RunRecordOf.h"
#include "settings/BackupSettings.h"
#include "settings/SettingsFiles.h"

#include <QLoggingCategory>
#include <QTimer>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcRun, "kvz.run")

BackupController::BackupController(const QString &programFolder, const Clock &clock,
                                   const ElapsedClock &elapsed, BackupJob::Runner runner,
                                   std::shared_ptr<RunCancel> cancel, QObject *parent)
    : QObject(parent), programFolder_(programFolder), clock_(clock), elapsed_(elapsed),
      job_(std::move(runner)), scheduler_(clock, elapsed),
      cancel_(cancel ? std::move(cancel) : std::make_shared<RunCancel>()), question_(AskYesNo)
{
    connect(&job_, &BackupJob::finished, this, &BackupController::onRunFinished);
    // Told once someone listens: the window's first refreshSchedule.
    readSchedule();

    recorder_ = new RunRecorder(programFolder_, this);
    connect(recorder_, &RunRecorder::problem, this, [this](const Failure &failure) {
        tell({u"YEDEKLEME GEÇMİŞİ YAZILAMADI"_s, failure.reason, true});
    });
    // Until the start-up run returns, the last-backup time is the last one the history remembers.
    connect(recorder_, &RunRecorder::lastLoaded, this, [this](const RunRecord &last) {
        if (!scheduler_.lastBackup().isValid())
            emit lastRecordedLoaded(last.ended);
    });
    connect(recorder_, &RunRecorder::longestSuccessLoaded, this,
            [this](qint64 ms) { stall_.setLongestSuccess(std::chrono::milliseconds(ms)); });
    // Queued before the first run begins: only the runs of an earlier start are left unfinished.
    recorder_->closeInterrupted();
    recorder_->loadLast();
    recorder_->loadLongestSuccess();
}

BackupController::~BackupController() = default;

const RunHistory &BackupController::history() const
{
    return recorder_->history();
}

void BackupController::loadSchedule()
{
    readSchedule();
    refreshSchedule();
}

void BackupController::readSchedule()
{
    const QString file = SettingsFiles::BackupFile(programFolder_);
    const Result<BackupSettings> settings = LoadBackupSettings(file);
    if (!settings)
        qCWarning(lcRun).noquote() << settings.failure().reason << settings.failure().detail;
    scheduler_.setDailyHour(settings ? settings->dailyHour : QString());
    scheduler_.setInterval(settings ? settings->interval : QString());
    scheduler_.setOptions(settings ? settings->verify : QString(), settings ? settings->keepDays : QString());
}

void BackupController::setDailyHour(const QString &hour)
{
    scheduler_.setDailyHour(hour);
    refreshSchedule();
}

void BackupController::setInterval(const QString &interval)
{
    scheduler_.setInterval(interval);
    refreshSchedule();
}

// A stored value the schedule cannot use is told once, until it is put right.
void BackupController::refreshSchedule()
{
    emit scheduleChanged();
    const QList<ScheduleProblem> problems = scheduler_.problems();
    for (const ScheduleProblem &problem : problems) {
        if (!problemsTold_.contains(problem))
            tell({u"YEDEKLEME AYARI HATALI"_s, problem.text, true});
    }
    problemsTold_ = problems;
}

void BackupController::runNow(RunCause cause)
{
    if (!closing_ && (!mayStart_ || mayStart_()) && scheduler_.startRun())
        startJob(cause);
}

void BackupController::startJob(RunCause cause)
{
    qCInfo(lcRun).noquote() << u"backup started:"_s << RunCauseName(cause);
    runCause_ = cause;
    runStarted_ = clock_.now();
    runStartedElapsed_ = elapsed_.elapsed();
    recorder_->begin(runRecord({}, runStarted_, -1));
    stall_.start(runStartedElapsed_);
    cancel_->reset();
    stopAsked_ = false;
    job_.start();
    emit runStateChanged(u"YEDEKLENİYOR…"_s);
    emit runStarted();
}

void BackupController::reportProgress(int percent)
{
    if (!job_.isRunning())
        return;
    stall_.progress(elapsed_.elapsed());
    emit runStateChanged(u"YEDEKLENİYOR… %%1"_s.arg(percent));
}

void BackupController::reportCopyProgress(int percent)
{
    if (!job_.isRunning())
        return;
    stall_.progress(elapsed_.elapsed());
    emit runStateChanged(u"KOPYALANIYOR… %%1"_s.arg(percent));
}

void BackupController::stopRun()
{
    if (!job_.isRunning())
        return;
    qCWarning(lcRun) << "backup stopped by the user";
    stopAsked_ = true;
    if (!cancel_->cancel())
        qCWarning(lcRun) << "the driver refused to cancel the backup: it ends when the server answers";
}

void BackupController::tick()
{
    watchStall();
    if (closing_ || (mayStart_ && !mayStart_()))
        return;
    if (const std::optional<RunCause> cause = scheduler_.tick())
        startJob(*cause);
}

// The server may have stopped answering: said once per stall, with the way to stop the run.
void BackupController::watchStall()
{
    const std::optional<int> minutes = stall_.warning(elapsed_.elapsed());
    if (!minutes)
        return;
    const QString text = u"YEDEKLEME %1 DAKİKADIR İLERLEMİYOR"_s.arg(*minutes);
    emit runStateChanged(text);
    tell({text,
          u"Sunucu yanıt vermiyor olabilir. Beklemek istemezseniz simgenin menüsünden "
          u"\"Yedeklemeyi durdur\"u seçin."_s,
          true});
}

// The history's row for the run in flight, as begun (no end known), ended or cut off.
RunRecord BackupController::runRecord(const BackupResult &result, const QDateTime &ended,
                                      qint64 endedElapsedMs) const
{
    RunRecord record = RunRecordOf(result, runCause_, runStarted_, ended);
    record.startedElapsedMs = runStartedElapsed_.count();
    record.endedElapsedMs = endedElapsedMs;
    record.bootId = elapsed_.bootId();
    return record;
}

// Every notice reaches the log too: a desktop without a tray, or one whose tray has not started yet, shows
// no balloon.
void BackupController::tell(const RunNotice &notice)
{
    if (notice.failure)
        qCWarning(lcRun).noquote() << notice.title + u": "_s + notice.text;
    else
        qCInfo(lcRun).noquote() << notice.title + u": "_s + notice.text;
    emit this->notice(notice, clock_.now());
}

void BackupController::onRunFinished(const BackupResult &returned)
{
    BackupResult result = returned;
    if (std::exchange(stopAsked_, false) && !result.ok)
        result.reason = u"YEDEKLEME DURDURULDU: kullanıcı durdurdu."_s;
    const std::chrono::milliseconds endedElapsed = elapsed_.elapsed();
    stall_.stop();
    if (result.ok)
        stall_.succeededIn(endedElapsed - runStartedElapsed_);
    // The schedule counts from the end of the run, whatever its outcome.
    if (result.ok)
        qCInfo(lcRun) << "backup written:" << result.filePath;
    else
        qCWarning(lcRun) << "backup failed:" << result.reason;
    scheduler_.runFinished(result.ok);
    recorder_->finish(runRecord(result, scheduler_.lastBackup(), endedElapsed.count()));
    spaceText_ = result.spaceText;
    tellAfterRun(result);
    refreshSchedule();
    emit runFinished(result);
    if (closing_) {
        qCInfo(lcRun) << "the backup in flight has finished: ending";
        requestExit();
    }
}

void BackupController::tellAfterRun(const BackupResult &result)
{
    const QDate day = scheduler_.lastBackup().date();
    // A disk running out of room stops the shop's point of sale too when it holds the live database.
    if (result.spaceLow && spaceWarnedOn_ != day) {
        spaceWarnedOn_ = day;
        tell({u"YEDEK KLASÖRÜNDE YER AZALDI"_s, result.spaceText, true});
    }
    for (const RunNotice &notice : noticeGate_.afterRun(result, day))
        tell(notice);
    if (const std::optional<RunNotice> notice = NoticeAfterRun(lastRunFailed_, result))
        tell(*notice);
    lastRunFailed_ = !result.ok;
}

void BackupController::closeProgram()
{
    closing_ = true;
    emit closing();
    if (!job_.isRunning() || question_(u"Bir yedekleme sürüyor; program o bitince kapanacak.\n"
                                       u"Beklemeden şimdi kapatılsın mı? Yedekleme yarım kalır."_s))
        requestExit();
}

void BackupController::endOnSignal(const QString &signalName)
{
    closing_ = true;
    emit closing();
    if (!job_.isRunning()) {
        qCInfo(lcRun).noquote() << signalName << u"received: ending, no backup in flight"_s;
        requestExit();
        return;
    }
    qCWarning(lcRun).noquote()
        << signalName
        << u"received: ending when the backup in flight finishes, at most %1 s from now"_s.arg(
               kSignalGraceMs / 1000);
    QTimer::singleShot(kSignalGraceMs, this, [this, signalName] {
        if (!job_.isRunning())
            return;
        qCWarning(lcRun).noquote()
            << u"backup cut off: still running %1 s after %2"_s.arg(kSignalGraceMs / 1000).arg(signalName);
        requestExit();
    });
}

void BackupController::requestExit()
{
    if (exitRequested_)
        return;
    exitRequested_ = true;
    if (job_.isRunning()) {
        BackupResult cutOff;
        cutOff.reason = RunHistory::kInterruptedReason;
        recorder_->finish(runRecord(cutOff, clock_.now(), elapsed_.elapsed().count()));
    }
    emit exitRequested();
}

void BackupController::waitForHistory()
{
    recorder_->waitForDone();
}
