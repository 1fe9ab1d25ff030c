#include "history/RecentRuns.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

Result<RecentRuns> ReadRecentRuns(const RunHistory &history, const QDateTime &now, int limit)
{
    const Result<QList<RunRecord>> records = history.recent(limit);
    if (!records)
        return records.failure();
    const Result<RunSummary> summary = history.summary(now);
    if (!summary)
        return summary.failure();
    return RecentRuns{records.value(), summary.value()};
}

void LoadRecentRuns(const RunHistory &history, const QDateTime &now, QObject *context,
                    std::function<void(const Result<RecentRuns> &)> done)
{
    // Owned by the context, so the answer dies with it; the worker keeps its own copy of the history.
    auto *watcher = new QFutureWatcher<Result<RecentRuns>>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([history, now] { return ReadRecentRuns(history, now); }));
}
