#include "history/RestoreTestLog.h"

#include "history/HistoryConnection.h"
#include "history/HistoryFailures.h"
#include "history/RunHistory.h"

#include <QDir>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using namespace HistoryFailures;

namespace {

const QString kSchema =
    u"CREATE TABLE IF NOT EXISTS restore_tests (id INTEGER PRIMARY KEY AUTOINCREMENT, started_ms INTEGER NOT "
    "NULL, ended_ms INTEGER NOT NULL, backup_file TEXT, scratch TEXT NOT NULL, verdict INTEGER NOT "
    "NULL, finished INTEGER NOT NULL, scratch_left INTEGER NOT NULL, allocation_errors INTEGER NOT NULL, "
    "consistency_errors INTEGER NOT NULL, first_errors TEXT, reason TEXT)"_s;

const QString kTestColumns =
    u"started_ms, ended_ms, backup_file, scratch, verdict, finished, scratch_left, allocation_errors, "
    "consistency_errors, first_errors, reason"_s;

// Stored as numbers that never change meaning: new verdicts get new numbers.
int Stored(RestoreVerdict verdict)
{
    switch (verdict) {
    case RestoreVerdict::Clean:
        return 1;
    case RestoreVerdict::Damaged:
        return 2;
    case RestoreVerdict::NotRestored:
        return 3;
    case RestoreVerdict::Skipped:
        return 4;
    case RestoreVerdict::Refused:
        return 5;
    }
    return 4;
}

RestoreVerdict VerdictOf(int stored)
{
    for (const RestoreVerdict verdict : {RestoreVerdict::Clean, RestoreVerdict::Damaged,
                                         RestoreVerdict::NotRestored, RestoreVerdict::Refused})
        if (Stored(verdict) == stored)
            return verdict;
    return RestoreVerdict::Skipped;
}

QVariantList Values(const RestoreTestRecord &record)
{
    return {record.started.toMSecsSinceEpoch(),
            record.ended.toMSecsSinceEpoch(),
            record.backupFile,
            record.scratchName,
            Stored(record.verdict),
            record.finished ? 1 : 0,
            record.left ? 1 : 0,
            record.allocationErrors,
            record.consistencyErrors,
            record.firstErrors.join(u'\n'),
            record.reason};
}

RestoreTestRecord Record(const QSqlQuery &query)
{
    RestoreTestRecord record;
    record.started = QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong());
    record.ended = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong());
    record.backupFile = query.value(2).toString();
    record.scratchName = query.value(3).toString();
    record.verdict = VerdictOf(query.value(4).toInt());
    record.finished = query.value(5).toInt() != 0;
    record.left = query.value(6).toInt() != 0;
    record.allocationErrors = query.value(7).toInt();
    record.consistencyErrors = query.value(8).toInt();
    const QString errors = query.value(9).toString();
    record.firstErrors = errors.isEmpty() ? QStringList() : errors.split(u'\n');
    record.reason = query.value(10).toString();
    return record;
}

bool BindAndExec(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace

RestoreTestLog::RestoreTestLog(const QString &programFolder)
    : path_(QDir(programFolder).filePath(RunHistory::kFileName))
{}

Result<qint64> RestoreTestLog::begin(const RestoreTestRecord &record) const
{
    RestoreTestRecord open = record;
    open.finished = false;
    open.left = true;
    return write(open, std::nullopt);
}

Outcome RestoreTestLog::finish(qint64 id, const RestoreTestRecord &record) const
{
    const Result<qint64> written = write(record, id);
    if (!written)
        return written.failure();
    return Done{};
}

Result<qint64> RestoreTestLog::append(const RestoreTestRecord &record) const
{
    return write(record, std::nullopt);
}

Result<qint64> RestoreTestLog::write(const RestoreTestRecord &record, std::optional<qint64> id) const
{
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return WriteFailure(path_, connection.error());
    QSqlQuery query(connection.database());
    const QVariantList values = Values(record);
    const bool written =
        query.exec(u"BEGIN IMMEDIATE"_s) && query.exec(kSchema) &&
        (id ? BindAndExec(
                  query,
                  u"UPDATE restore_tests SET (%1) = (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) WHERE id = ?"_s.arg(
                      kTestColumns),
                  values + QVariantList{*id})
            : BindAndExec(query,
                          u"INSERT INTO restore_tests (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(
                              kTestColumns),
                          values));
    const qint64 rowId = id ? *id : query.lastInsertId().toLongLong();
    if (written && query.exec(u"COMMIT"_s))
        return rowId;
    const QSqlError error = query.lastError();
    query.exec(u"ROLLBACK"_s);
    return WriteFailure(path_, error);
}

Result<std::optional<RestoreTestRecord>> RestoreTestLog::newest(const QString &where,
                                                                const QVariantList &values) const
{
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return ReadFailure(path_, connection.error());
    QSqlQuery query(connection.database());
    if (!query.exec(kSchema) ||
        !BindAndExec(query,
                     u"SELECT %1 FROM restore_tests %2 ORDER BY id DESC LIMIT 1"_s.arg(kTestColumns, where),
                     values))
        return ReadFailure(path_, query.lastError());
    if (!query.next())
        return std::optional<RestoreTestRecord>();
    return std::optional(Record(query));
}

Result<std::optional<RestoreTestRecord>> RestoreTestLog::last() const
{
    return newest(QString(), {});
}

Result<bool> RestoreTestLog::isOurs(const QString &scratchName) const
{
    const auto found = newest(u"WHERE scratch = ?"_s, {scratchName});
    if (!found)
        return found.failure();
    return found.value() && found.value()->left;
}

Result<bool> RestoreTestLog::retentionPaused() const
{
    const auto found = newest(u"WHERE verdict IN (?, ?)"_s,
                              {Stored(RestoreVerdict::Clean), Stored(RestoreVerdict::Damaged)});
    if (!found)
        return found.failure();
    return found.value() && found.value()->verdict == RestoreVerdict::Damaged;
}

Result<bool> RestoreTestLog::cleanWithinWeek(const QDateTime &before) const
{
    const auto found = newest(
        u"WHERE verdict = ? AND started_ms >= ? AND started_ms < ?"_s,
        {Stored(RestoreVerdict::Clean), before.addDays(-7).toMSecsSinceEpoch(), before.toMSecsSinceEpoch()});
    if (!found)
        return found.failure();
    return found.value().has_value();
}
