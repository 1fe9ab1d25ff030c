#pragma once

#include "backup/BackupResult.h"
#include "backup/SingleRunWorker.h"

#include <QObject>
#include <functional>

// Runs backups on a worker thread, one at a time, and hands each result back on the owner's thread.
class BackupJob : public QObject {
    Q_OBJECT
public:
    using Runner = std::function<BackupResult()>;

    explicit BackupJob(Runner runner, QObject *parent = nullptr);

    // Starts a run; false, and nothing started, while one is in flight.
    bool start() { return worker_.start(runner_); }
    bool isRunning() const { return worker_.isRunning(); }

signals:
    void finished(const BackupResult &result);

private:
    Runner runner_;
    SingleRunWorker<BackupResult> worker_;
};
