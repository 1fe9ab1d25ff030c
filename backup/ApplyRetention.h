#pragma once

#include "backup/Retention.h"
#include "settings/Result.h"

struct RemovalFailure {
    QString name;
    Failure failure; // the system's error as the detail
};

struct RetentionReport {
    QStringList removed;
    QList<RetentionRefusal> refusals;
    QList<RemovalFailure> failures;
};

// Removes what PlanRetention names from the backup folder, written as the server sees it. A folder not
// visible from here loses nothing, and the report says so once. Each file is looked at again just before
// it goes: only a regular file directly inside the folder is removed. Call it only after a successful
// (and, with verification on, verified) run, and only while the wall clock looks right; it reads the
// disk: on the backup worker. `newestFirst` as PlanRetention takes it.
Result<RetentionReport> ApplyRetention(const QString &folder, const QString &database, const QDateTime &now,
                                       int keepDays, const QStringList &newestFirst);
