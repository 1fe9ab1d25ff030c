#pragma once

#include "app/BackupTrigger.h"
#include "app/Clock.h"
#include "backup/BackupJob.h"

#include <QPointer>
#include <QWidget>

class QTimer;
class vkCommand;
class vkFrame;
class vkLabel;
class ayarlar;
class TrayIcon;
class frmBF;

// The main window: the last, current and next backup times, and the buttons to back up, hide and set up.
class KVZ : public QWidget {
    Q_OBJECT
public:
    KVZ(const QString &programFolder, Clock &clock, BackupJob::Runner runner, QWidget *parent = nullptr);
    ~KVZ() override;

    // The program's start: one backup run at once, then the window shown and the clock started.
    void startUp();

    // Back up now: the button, the clock, the tray and the start all come here. Dropped while a run is in
    // flight, as a run already covers the moment.
    void runNow();

    void ComputeSchedule();

    // The clock's tick (every 100 ms): shows the time and starts a run when a trigger holds. A soak run
    // with a fast-forwarded clock calls it directly.
    void tick();

    // Shown modeless and brought to the front.
    void showWindow();
    // Hidden behind the tray icon; minimised while there is no tray, so the window is never lost.
    void hideWindow();
    void showSettings();

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

    using Question = std::function<bool(const QString &text)>;
    // Tests answer the question themselves.
    void setQuestion(Question question) { question_ = std::move(question); }
    bool isRunInFlight() const { return job_.isRunning(); }

signals:
    void runFinished(const BackupResult &result);
    // The program may end now: no run is in flight, or the user chose to cut it off.
    void exitRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void onRunFinished(const BackupResult &result);
    void showOutcome(const BackupResult &result);
    void useTaskbarEntry(bool needed);
    void requestExit();

    QString programFolder_;
    Clock &clock_;
    BackupJob job_;
    BackupTrigger trigger_;
    TrayIcon *tray_ = nullptr;
    bool lastRunFailed_ = false;
    QPointer<ayarlar> ayarlar_;
    QPointer<frmBF> browser_;
    bool closing_ = false;
    bool exitRequested_ = false;
    Question question_;

    vkFrame *vkFrame1 = nullptr;
    vkLabel *Label3 = nullptr;
    vkLabel *sonyedekleme = nullptr;
    vkLabel *Label1 = nullptr;
    vkLabel *simdi = nullptr;
    vkLabel *Label2 = nullptr;
    vkLabel *yedeklemesaati = nullptr;
    vkCommand *yedekle = nullptr;
    vkCommand *vkCommand1 = nullptr;
    vkCommand *cmdOk = nullptr;
    vkCommand *cmdCancel = nullptr;
    QTimer *zaman = nullptr;
};
