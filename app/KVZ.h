#pragma once

#include "schedule/RunNotice.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>

class QTimer;
class vkCommand;
class vkFrame;
class vkLabel;
class ayarlar;
class BackupController;
class RestoreTestController;
class TrayIcon;
class frmBF;
class frmGecmis;

// The main window: the last, current and next backup times, and the buttons to back up, hide and set up.
// It shows what the controller tells it and hands the user's clicks to it; the tray icon lives here too.
class KVZ : public QWidget {
    Q_OBJECT
public:
    // The controller must outlive the window.
    explicit KVZ(BackupController &controller, QWidget *parent = nullptr);
    ~KVZ() override;

    // The program's start: one backup run at once, then the window shown and the clock started.
    void startUp();
    // The restore tests' state, notices and tray entry join the backups' own.
    void attachRestoreTests(RestoreTestController &tests);

    // The clock's tick (at each whole second of the wall clock): shows the time and lets the controller
    // start a run when the schedule says so. A soak run with a fast-forwarded clock calls it directly.
    void tick();

    // Shown modeless and brought to the front.
    void showWindow();
    // Hidden behind the tray icon; minimised while there is no tray, so the window is never lost.
    void hideWindow();
    void showSettings();
    // "YEDEKLEME GEÇMİŞİ", filled on a worker.
    void showHistory();

    // The settings window, created hidden and loaded from the files at its first reference; its live
    // daily hour and interval reach the controller's schedule.
    ayarlar &Ayarlar();

    // The folder browser, opened without its file list; its choice goes into the settings window.
    void openFolderBrowser();
    frmBF *folderBrowser() const;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createTray();
    void connectController();
    void armClock();
    void showRunState(const QString &state);
    void showRunEnd(const BackupResult &result);
    void ComputeSchedule();
    void showNotice();
    void showNoticeAt(const RunNotice &notice, const QDateTime &at);
    void useTaskbarEntry(bool needed);

    BackupController &controller_;
    TrayIcon *tray_ = nullptr;
    RunNotice notice_;
    QDateTime noticeAt_;
    QDate noticeShownOn_;
    QPointer<frmGecmis> history_;
    QPointer<ayarlar> ayarlar_;
    QPointer<frmBF> browser_;

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
