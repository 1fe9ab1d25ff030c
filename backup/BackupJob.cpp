#include "backup/BackupJob.h"

#include <QtConcurrent/QtConcurrentRun>

BackupJob::BackupJob(Runner runner, QObject *parent) : QObject(parent), runner_(std::move(runner))
{
    pool_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<BackupResult>::finished, this, [this] {
        running_ = false;
        emit finished(watcher_.result());
    });
}

// A run is never cut off: the pool waits for it, because a cancelled backup is lost.
BackupJob::~BackupJob()
{
    pool_.waitForDone();
}

bool BackupJob::start()
{
    if (running_)
        return false;
    running_ = true;
    watcher_.setFuture(QtConcurrent::run(&pool_, runner_));
    return true;
}
