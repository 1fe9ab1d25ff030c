#pragma once

#include "backup/BackupResult.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <functional>

// Runs backups on a worker thread, one at a time, and hands each result back on the owner's thread.
class BackupJob : public QObject {
    Q_OBJECT
public:
    using Runner = std::function<BackupResult()>;

    explicit BackupJob(Runner runner, QObject *parent = nullptr);
    ~BackupJob() override;

    // Starts a run; false, and nothing started, while one is in flight.
    bool start();
    bool isRunning() const { return running_; }

signals:
    void finished(const BackupResult &result);

private:
    Runner runner_;
    QThreadPool pool_;
    QFutureWatcher<BackupResult> watcher_;
    bool running_ = false;
};
