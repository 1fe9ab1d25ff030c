#pragma once

#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <functional>

// Runs one piece of database work at a time on a thread of its own and hands the result to `done` on
// the thread that owns the worker. Destroying the worker waits for the work in flight: work cut off
// midway would cancel a backup on the server.
template <typename Result> class SingleRunWorker {
public:
    explicit SingleRunWorker(std::function<void(const Result &)> done) : done_(std::move(done))
    {
        pool_.setMaxThreadCount(1);
        QObject::connect(&watcher_, &QFutureWatcherBase::finished, [this] {
            running_ = false;
            done_(watcher_.result());
        });
    }
    ~SingleRunWorker() { pool_.waitForDone(); }
    SingleRunWorker(const SingleRunWorker &) = delete;
    SingleRunWorker &operator=(const SingleRunWorker &) = delete;

    // False, and nothing started, while work is in flight.
    bool start(std::function<Result()> work)
    {
        if (running_)
            return false;
        running_ = true;
        watcher_.setFuture(QtConcurrent::run(&pool_, std::move(work)));
        return true;
    }
    bool isRunning() const { return running_; }

private:
    std::function<void(const Result &)> done_;
    QThreadPool pool_;
    QFutureWatcher<Result> watcher_;
    bool running_ = false;
};
