#pragma once

#include "backup/BackupJob.h"
#include "schedule/BackupScheduler.h"
#include "schedule/Clock.h"
#include "schedule/NoticeGate.h"
#include "schedule/StallWatch.h"
#include "ui/styled/MessageBoxHook.h"

#include <QObject>
#include <functional>
#include <memory>

class RunCancel;
class RunHistory;
class RunRecorder;
struct RunRecord;

// The program apart from its windows: starts and finishes the runs, records them in the history, tells
// what the user should know and decides when the program may end. The main window and the tray show what
// it says and forward the user's clicks.
class BackupController : public QObject {
    Q_OBJECT
public:
    // `cancel` is the one the runner heeds; stopRun cancels through it.
    BackupController(const QString &programFolder, const Clock &clock, const ElapsedClock &elapsed,
                     BackupJob::Runner runner, std::shared_ptr<RunCancel> cancel = {},
                     QObject *parent = nullptr);
    ~BackupController() override;

    const QString &programFolder() const { return programFolder_; }
    const Clock &clock() const { return clock_; }
    const BackupScheduler &scheduler() const { return scheduler_; }
    const RunHistory &history() const;
    // What the last run found of the backup folder's free space, for the history window.
    const QString &spaceText() const { return spaceText_; }
    bool isRunInFlight() const { return job_.isRunning(); }

    // Back up now: the button, the tray and the start come here. Dropped while a run is in flight, as a
    // run already covers the moment, and once the program is ending.
    void runNow(RunCause cause = RunCause::Button);
    // The server's percent for the run in flight.
    void reportProgress(int percent);
    // The second copy's percent, once the backup itself is written.
    void reportCopyProgress(int percent);
    // "Yedeklemeyi durdur": the run in flight is cancelled on the server and recorded as stopped.
    void stopRun();
    // At each tick of the window's clock: a stalled run is told, and a run starts when the schedule says so.
    void tick();

    // The stored hour and interval; the settings window's live edits go on top of them until it closes.
    void loadSchedule();
    void setDailyHour(const QString &hour);
    void setInterval(const QString &interval);
    // The next copy time may have moved: scheduleChanged follows, and any new problem is told once.
    void refreshSchedule();

    // End the program after the run in flight (if any) has returned. With a run in flight the user is asked
    // whether to end at once instead, for a server that never answers; the run is then cut off.
    void closeProgram();
    // The desktop ends the session, or someone sends a signal: as closeProgram, without a question. A run
    // in flight gets kSignalGraceMs to finish, and is then cut off; the log says which.
    void endOnSignal(const QString &signalName);
    static constexpr int kSignalGraceMs = 20'000;
    // Returns once the history holds what it was given, the run cut off at exit among it: for an end that
    // skips the destructors.
    void waitForHistory();

    // Tests answer the question themselves.
    void setQuestion(QuestionHook question) { question_ = std::move(question); }
    // While it answers false no run starts: a due one waits for the next tick after it turns true.
    void setRunGate(std::function<bool()> mayStart) { mayStart_ = std::move(mayStart); }

signals:
    void runStarted();
    // The run in flight's state for the button and the tray: under way, how far, or stalled.
    void runStateChanged(const QString &state);
    void runFinished(const BackupResult &result);
    // The last run an earlier start recorded, while this start has not finished one yet.
    void lastRecordedLoaded(const QDateTime &ended);
    void notice(const RunNotice &notice, const QDateTime &at);
    void scheduleChanged();
    // The program is ending: the windows go away, though a run in flight may still be waited for.
    void closing();
    // The program may end now: no run is in flight, or the user chose to cut it off.
    void exitRequested();

private:
    void readSchedule();
    void startJob(RunCause cause);
    void onRunFinished(const BackupResult &returned);
    void tellAfterRun(const BackupResult &result);
    void watchStall();
    void tell(const RunNotice &notice);
    void requestExit();
    RunRecord runRecord(const BackupResult &result, const QDateTime &ended, qint64 endedElapsedMs) const;

    QString programFolder_;
    const Clock &clock_;
    const ElapsedClock &elapsed_;
    BackupJob job_;
    BackupScheduler scheduler_;
    RunRecorder *recorder_ = nullptr;
    std::shared_ptr<RunCancel> cancel_;
    StallWatch stall_;
    NoticeGate noticeGate_;
    QList<ScheduleProblem> problemsTold_;
    RunCause runCause_ = RunCause::Start;
    QDateTime runStarted_;
    std::chrono::milliseconds runStartedElapsed_{0};
    bool stopAsked_ = false;
    bool lastRunFailed_ = false;
    QString spaceText_;
    QDate spaceWarnedOn_;
    bool closing_ = false;
    bool exitRequested_ = false;
    QuestionHook question_;
    std::function<bool()> mayStart_;
};
