#pragma once

#include "backup/BackupJob.h"
#include "schedule/BackupScheduler.h"
#include "schedule/Clock.h"
#include "schedule/NoticeGate.h"
#include "schedule/StallWatch.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QTimer;
class vkCommand;
class vkFrame;
class vkLabel;
class ayarlar;
class TrayIcon;
class frmBF;
class frmGecmis;
class RunRecorder;
class RunCancel;
struct RunRecord;

// The main window: the last, current and next backup times, and the buttons to back up, hide and set up.
class KVZ : public QWidget {
    Q_OBJECT
public:
    // `cancel` is the one the runner heeds; "Yedeklemeyi durdur" cancels through it.
    KVZ(const QString &programFolder, const Clock &clock, const ElapsedClock &elapsed,
        BackupJob::Runner runner, std::shared_ptr<RunCancel> cancel = {}, QWidget *parent = nullptr);
    ~KVZ() override;

    // The program's start: one backup run at once, then the window shown and the clock started.
    void startUp();

    // Back up now: the button, the tray and the start come here. Dropped while a run is in flight, as a
    // run already covers the moment.
    void runNow(RunCause cause = RunCause::Button);

    // Shows the schedule's next copy time, and any stored value it cannot use.
    void ComputeSchedule();

    // The server's percent for the run in flight.
    void showProgress(int percent);
    // "Yedeklemeyi durdur": the run in flight is cancelled on the server and recorded as stopped.
    void stopRun();

    // The clock's tick (at each whole second of the wall clock): shows the time and starts a run when the
    // schedule says so. A soak run with a fast-forwarded clock calls it directly.
    void tick();

    // Shown modeless and brought to the front.
    void showWindow();
    // Hidden behind the tray icon; minimised while there is no tray, so the window is never lost.
    void hideWindow();
    void showSettings();
    // "YEDEKLEME GEÇMİŞİ", filled on a worker.
    void showHistory();

    // The settings window, created hidden and loaded from the files at its first reference; it holds the
    // live daily hour and interval.
    ayarlar &Ayarlar();

    // The folder browser, opened without its file list; its choice goes into the settings window.
    void openFolderBrowser();
    frmBF *folderBrowser() const;

    // Hide the window and end the program after the run in flight (if any) has returned. With a run in
    // flight the user is asked whether to end at once instead, for a server that never answers; the
    // run is then cut off.
    void closeProgram();

    // The desktop ends the session, or someone sends a signal: as "Kapat", without a question. A run in
    // flight gets kSignalGraceMs to finish, and is then cut off; the log says which.
    void endOnSignal(const QString &signalName);
    static constexpr int kSignalGraceMs = 20'000;
    // Returns once the history holds what it was given, the run cut off at exit among it: for an end that
    // skips the destructors.
    void waitForHistory();

    using Question = std::function<bool(const QString &text)>;
    // Tests answer the question themselves.
    void setQuestion(Question question) { question_ = std::move(question); }
    bool isRunInFlight() const { return job_.isRunning(); }
    const BackupScheduler &scheduler() const { return scheduler_; }

signals:
    void runFinished(const BackupResult &result);
    // The program may end now: no run is in flight, or the user chose to cut it off.
    void exitRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void onRunFinished(const BackupResult &result);
    void showOutcome(const BackupResult &result);
    void useTaskbarEntry(bool needed);
    void requestExit();
    void armClock();
    void startJob(RunCause cause);
    void showRunState(std::optional<int> percent);
    void showRunState(const QString &state);
    void loadSchedule();
    void showProblems();
    void tell(const RunNotice &notice);
    void showNotice();
    void watchStall();
    RunRecord runRecord(const BackupResult &result, const QDateTime &ended, qint64 endedElapsedMs) const;

    QString programFolder_;
    const Clock &clock_;
    BackupJob job_;
    BackupScheduler scheduler_;
    QList<ScheduleProblem> problemsTold_;
    TrayIcon *tray_ = nullptr;
    bool lastRunFailed_ = false;
    RunRecorder *recorder_ = nullptr;
    RunCause runCause_ = RunCause::Start;
    QDateTime runStarted_;
    const ElapsedClock &elapsed_;
    std::chrono::milliseconds runStartedElapsed_{0};
    StallWatch stall_;
    std::shared_ptr<RunCancel> cancel_;
    bool stopAsked_ = false;
    QString spaceText_;
    QDate spaceWarnedOn_;
    NoticeGate noticeGate_;
    RunNotice notice_;
    QDateTime noticeAt_;
    QDate noticeShownOn_;
    QPointer<frmGecmis> history_;
    QPointer<ayarlar> ayarlar_;
    QPointer<frmBF> browser_;
    bool closing_ = false;
    bool exitRequested_ = false;
    Question question_;

    vkFrame *vkFrame1 = nullptr;       // the "YEDEKLEME BİLGİLERİ" panel around all the controls
    vkLabel *Label3 = nullptr;         // the caption "SON YEDEKLEME"
    vkLabel *sonyedekleme = nullptr;   // when the last run ended; red after a failure, the reason as tooltip
    vkLabel *Label1 = nullptr;         // the caption "ŞİMDİKİ ZAMAN"
    vkLabel *simdi = nullptr;          // the current time, renewed each second
    vkLabel *Label2 = nullptr;         // the caption "SIRADAKİ YEDEKLEME"
    vkLabel *yedeklemesaati = nullptr; // the next copy time (in ayarlar this name is the daily-hour field)
    vkCommand *yedekle = nullptr;      // the YEDEKLE button: backs up now; shows the percent during a run
    vkCommand *vkCommand1 = nullptr;   // the GİZLE button: hides the window behind the tray icon
    vkCommand *cmdOk = nullptr;        // the AYARLAR button: opens the settings window
    vkCommand *cmdCancel = nullptr;    // the KAPAT button, kept hidden: the tray's Kapat ends the program
    vkLabel *bildirim = nullptr; // the latest notice with its time; red for a failure, in full as tooltip
    QTimer *zaman = nullptr;     // the clock: shows the time each second, starts the runs due
};
