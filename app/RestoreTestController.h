#pragma once

#include "backup/BackupResult.h"
#include "backup/RunProgress.h"
#include "schedule/RestoreTestRun.h"
#include "schedule/RestoreTestSchedule.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>
#include <memory>

class BackupController;
class RunCancel;

// The restore tests beside the backups: one starts after the backup its schedule names, or when the user
// asks; no backup starts while it runs, and one that has run longer than the backup interval is cancelled.
// The test itself runs on a worker; what it found reaches the window and the tray as a notice.
class RestoreTestController : public QObject {
    Q_OBJECT
public:
    RestoreTestController(BackupController &backups, const ElapsedClock &elapsed);
    // Cancels a test in flight and waits for it: its end, and the drop, must reach the history.
    ~RestoreTestController() override;

    // At the start, on a worker: the last test is read from the history, and a scratch database a test
    // before left behind is dropped.
    void startUp();
    // "Geri yükleme denemesi yap": a test of the newest good backup, unless a backup or a test runs.
    void requestTest();
    // "Yedeklemeyi durdur" while a test runs: the test is cancelled on the server.
    void stop();
    bool isRunning() const { return schedule_.isTestRunning(); }

signals:
    // "GERİ YÜKLEME DENEMESİ… %40" while a test runs; empty once it has ended.
    void stateChanged(const QString &state);
    void notice(const RunNotice &notice, const QDateTime &at);

private:
    // The stored days between tests, the daily hour and the backup interval, as each decision needs them.
    void loadSettings();
    void afterBackup(const BackupResult &result);
    void start(const QString &backupPath);
    void finished();
    void watchInterval();
    void tell(const std::optional<RunNotice> &notice);

    BackupController &backups_;
    RestoreTestSchedule schedule_;
    std::shared_ptr<RunCancel> cancel_;
    QFutureWatcher<RestoreTestRun> watcher_;
    QFutureWatcher<std::pair<QDateTime, std::optional<RestoreTestRun>>> startUp_;
    std::optional<std::chrono::seconds> interval_;
    QTimer intervalWatch_;
    RunProgress progress_;
};
