#pragma once

#include "history/RunRecord.h"
#include "history/RunSummary.h"
#include "settings/Result.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QSqlQuery;

// The record of past runs, "yedekleme-gecmisi.db" in the program folder (SQLite, through Qt's QSQLITE
// driver). Every call opens its own connection on the calling thread and closes it, so any thread may use
// it, and copies of it may be used at once; none should run on the user-interface thread.
//
// Each append is one transaction synced to disk before it returns: a crash, a kill or a power cut loses
// at most the run being written. A damaged or locked file never stops a backup: the append fails with a
// reason to show, and a damaged file is set aside for a new one.
class RunHistory {
public:
    static constexpr int kMaxEntries = 20'000;
    static const QString kFileName;

    // `maxEntries`: the newest this many are kept; runs ended more than a year before the newest go too,
    // unless the newest was recorded under a clock in doubt.
    explicit RunHistory(const QString &programFolder, int maxEntries = kMaxEntries);

    QString filePath() const { return path_; }

    // Records a run that has ended, and hands back its id. Only a finished run whose clock was not in doubt
    // ages older runs out.
    Result<qint64> append(const RunRecord &record) const;
    // Records a run as it starts, unfinished and not yet a success whatever the record says, so that one
    // cut short stays seen.
    Result<qint64> begin(const RunRecord &record) const;
    // Completes the row `begin` gave, old runs then going as after an append. A row no longer there (a
    // damaged file set aside since) is appended anew: the run is never lost.
    Outcome finish(qint64 id, const RunRecord &record) const;
    // Every run still unfinished failed with kInterruptedReason: the program is starting, so none is in
    // flight. How many there were.
    Result<int> closeInterrupted() const;
    static const QString kInterruptedReason;
    // The longest successful run in milliseconds: by the elapsed clock where the row has both readings, so a
    // wall clock moved during it does not count; 0 before the first success.
    Result<qint64> longestSuccessMs() const;

    // Newest first.
    Result<QList<RunRecord>> recent(int limit) const;
    // Nothing before the first run.
    Result<std::optional<RunRecord>> last() const;
    Result<std::optional<RunRecord>> lastSuccess() const;
    // The names (without folder) of the files of the runs started at or after `since`, whatever their
    // outcome: a name the server may have begun to write is never used again.
    Result<QStringList> namesSince(const QDateTime &since) const;
    // The sizes of the newest `limit` successful backups of `database` that have one, newest first: runs
    // whose file carries the database's name as the backup file names write it, a second's copy ("-2")
    // among them.
    Result<QList<qint64>> recentSizes(const QString &database, int limit) const;
    // The names (without folder) of the files of the successful runs, the newest run first: the order the
    // backups were really made in, whatever the clock wrote into their names.
    Result<QStringList> successfulNames(int limit) const;
    // The last success, and the successes and failures that ended in the 7 days before `now` (or after it:
    // a clock set back leaves runs dated ahead).
    Result<RunSummary> summary(const QDateTime &now) const;

private:
    // One write transaction, synced to disk when it returns no error; rolled back otherwise. The database's
    // own error, not a Failure: whether the file is damaged decides what the caller does next.
    QSqlError transact(const std::function<bool(QSqlQuery &)> &work) const;
    bool prune(QSqlQuery &query, const RunRecord &record) const;
    Result<QList<RunRecord>> select(const QString &clauses, const QVariantList &values) const;
    // The file names (without folder) of the runs the clauses pick, in their order.
    Result<QStringList> fileNames(const QString &clauses, const QVariantList &values) const;

    QString path_;
    int maxEntries_;
};
