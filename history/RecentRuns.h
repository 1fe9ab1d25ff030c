#pragma once

#include "history/RunHistory.h"

#include <QObject>
#include <functional>

// What the history window shows: the latest runs, newest first, and the summary.
struct RecentRuns {
    QList<RunRecord> records;
    RunSummary summary;
};

inline constexpr int kShownRuns = 500;

// Reads them on the calling thread; for a worker.
Result<RecentRuns> ReadRecentRuns(const RunHistory &history, const QDateTime &now, int limit = kShownRuns);

// Reads them on a worker and hands them to `done` on the thread of `context`; never once `context` is gone.
void LoadRecentRuns(const RunHistory &history, const QDateTime &now, QObject *context,
                    std::function<void(const Result<RecentRuns> &)> done);
