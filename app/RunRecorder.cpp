#include "app/RunRecorder.h"

#include <QLoggingCategory>
#include <QtConcurrent/QtConcurrentRun>

Q_LOGGING_CATEGORY(lcHistory, "kvz.history")

namespace {

template <typename T> Outcome Written(const Result<T> &result)
{
    if (!result)
        return result.failure();
    return Done{};
}

} // namespace

RunRecorder::RunRecorder(const QString &programFolder, QObject *parent)
    : QObject(parent), history_(programFolder)
{
    pool_.setMaxThreadCount(1);
}

RunRecorder::~RunRecorder()
{
    // An entry being written is finished: each write is one short transaction.
    pool_.waitForDone();
}

void RunRecorder::waitForDone()
{
    pool_.waitForDone();
}

void RunRecorder::write(std::function<Outcome()> work)
{
    auto *watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        report(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&pool_, std::move(work)));
}

void RunRecorder::report(const Outcome &written)
{
    if (written) {
        toldReason_.clear();
        return;
    }
    qCWarning(lcHistory).noquote() << written.failure().reason << written.failure().detail;
    if (std::exchange(toldReason_, written.failure().reason) != written.failure().reason)
        emit problem(written.failure());
}

void RunRecorder::closeInterrupted()
{
    write([history = history_] {
        const Result<int> closed = history.closeInterrupted();
        if (closed && closed.value() > 0)
            qCWarning(lcHistory) << closed.value() << "run(s) cut short before this start marked as such";
        return Written(closed);
    });
}

void RunRecorder::begin(const RunRecord &record)
{
    write([history = history_, record, runId = runId_] {
        const Result<qint64> id = history.begin(record);
        *runId = id ? std::optional(id.value()) : std::nullopt;
        return Written(id);
    });
}

void RunRecorder::finish(const RunRecord &record)
{
    write([history = history_, record, runId = runId_] {
        if (*runId)
            return history.finish(**runId, record);
        return Written(history.append(record));
    });
}

void RunRecorder::loadLast()
{
    auto *watcher = new QFutureWatcher<Result<std::optional<RunRecord>>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const Result<std::optional<RunRecord>> last = watcher->result();
        watcher->deleteLater();
        if (last && last.value())
            emit lastLoaded(*last.value());
    });
    watcher->setFuture(QtConcurrent::run(&pool_, [history = history_] { return history.last(); }));
}

void RunRecorder::loadLongestSuccess()
{
    auto *watcher = new QFutureWatcher<Result<qint64>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const Result<qint64> longest = watcher->result();
        watcher->deleteLater();
        if (longest)
            emit longestSuccessLoaded(longest.value());
    });
    watcher->setFuture(
        QtConcurrent::run(&pool_, [history = history_] { return history.longestSuccessMs(); }));
}
