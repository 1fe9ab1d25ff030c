#include "app/RunRecorder.h"

#include <QLoggingCategory>
#include <QtConcurrent/QtConcurrentRun>

Q_LOGGING_CATEGORY(lcHistory, "kvz.history")

RunRecorder::RunRecorder(const QString &programFolder, QObject *parent)
    : QObject(parent), history_(programFolder)
{
    pool_.setMaxThreadCount(1);
}

RunRecorder::~RunRecorder()
{
    // An entry being written is finished: an append is one short transaction.
    pool_.waitForDone();
}

void RunRecorder::record(const RunRecord &record)
{
    auto *watcher = new QFutureWatcher<Result<qint64>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const Result<qint64> appended = watcher->result();
        watcher->deleteLater();
        if (appended) {
            toldReason_.clear();
            return;
        }
        qCWarning(lcHistory).noquote() << appended.failure().reason << appended.failure().detail;
        if (std::exchange(toldReason_, appended.failure().reason) != appended.failure().reason)
            emit problem(appended.failure());
    });
    watcher->setFuture(
        QtConcurrent::run(&pool_, [history = history_, record] { return history.append(record); }));
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
