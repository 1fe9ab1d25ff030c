#include "history/RecordRow.h"

#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

// An instant and the offset its clock showed: the instant orders and bounds the rows, the offset gives
// back the local time of the run, across daylight saving and a machine moved between zones.
QDateTime FromStored(const QVariant &msecs, const QVariant &offsetSeconds)
{
    if (msecs.isNull())
        return {};
    return QDateTime::fromMSecsSinceEpoch(msecs.toLongLong(), QTimeZone(offsetSeconds.toInt()));
}

QVariant StoredInstant(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant();
}

QVariant StoredOffset(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.offsetFromUtc()) : QVariant();
}

// In the column order of both the INSERT and the UPDATE.
void BindValues(QSqlQuery &query, const RunRecord &record)
{
    for (const QVariant &value :
         {QVariant(record.cause), StoredInstant(record.started), StoredOffset(record.started),
          QVariant(record.ended.toMSecsSinceEpoch()), QVariant(record.ended.offsetFromUtc()),
          QVariant(record.ok ? 1 : 0), QVariant(record.file), QVariant(record.sizeBytes),
          QVariant(record.reason), QVariant(record.verification), QVariant(record.removed.join(u'\n')),
          QVariant(record.startedElapsedMs), QVariant(record.endedElapsedMs), QVariant(record.bootId),
          QVariant(record.finished ? 1 : 0), QVariant(record.clockSuspect ? 1 : 0),
          QVariant(record.secondCopy), QVariant(record.secondCopyMs), QVariant(record.secondCopyBytes)})
        query.addBindValue(value);
}

} // namespace

namespace RecordRow {

const QStringList &SchemaStatements()
{
    // AUTOINCREMENT: an id is never given twice, not even after the oldest rows are deleted.
    static const QStringList kStatements{
        u"CREATE TABLE IF NOT EXISTS runs (id INTEGER PRIMARY KEY AUTOINCREMENT, cause TEXT NOT NULL, "
        "started_ms INTEGER, started_offset INTEGER, ended_ms INTEGER NOT NULL, "
        "ended_offset INTEGER NOT NULL, ok INTEGER NOT NULL, file TEXT NOT NULL, "
        "size_bytes INTEGER NOT NULL, reason TEXT NOT NULL, verification TEXT NOT NULL, "
        "removed TEXT NOT NULL)"_s,
        u"CREATE INDEX IF NOT EXISTS runs_ended ON runs (ended_ms)"_s,
    };
    return kStatements;
}

const QList<AddedColumn> &AddedColumns()
{
    // Columns later versions added; a file written before them gets them with values that read as unknown.
    static const QList<AddedColumn> kAdded{
        {u"started_elapsed_ms"_s, u"INTEGER NOT NULL DEFAULT -1"_s},
        {u"ended_elapsed_ms"_s, u"INTEGER NOT NULL DEFAULT -1"_s},
        {u"boot_id"_s, u"TEXT NOT NULL DEFAULT ''"_s},
        {u"finished"_s, u"INTEGER NOT NULL DEFAULT 1"_s},
        {u"clock_suspect"_s, u"INTEGER NOT NULL DEFAULT 0"_s},
        {u"second_copy"_s, u"TEXT NOT NULL DEFAULT ''"_s},
        {u"second_copy_ms"_s, u"INTEGER NOT NULL DEFAULT -1"_s},
        {u"second_copy_bytes"_s, u"INTEGER NOT NULL DEFAULT -1"_s},
    };
    return kAdded;
}

const QString &Columns()
{
    static const QString kColumns =
        u"id, cause, started_ms, started_offset, ended_ms, ended_offset, ok, file, "
        "size_bytes, reason, verification, removed, started_elapsed_ms, ended_elapsed_ms, boot_id, finished, "
        "clock_suspect, second_copy, second_copy_ms, second_copy_bytes"_s;
    return kColumns;
}

bool PrepareInsert(QSqlQuery &query, const RunRecord &record)
{
    // Qt binds an empty QString that was never set as NULL.
    if (!query.prepare(u"INSERT INTO runs (cause, started_ms, started_offset, ended_ms, ended_offset, ok, "
                       "file, size_bytes, reason, verification, removed, started_elapsed_ms, "
                       "ended_elapsed_ms, boot_id, finished, clock_suspect, second_copy, second_copy_ms, "
                       "second_copy_bytes) VALUES (COALESCE(?, ''), ?, ?, ?, ?, ?, COALESCE(?, ''), ?, "
                       "COALESCE(?, ''), COALESCE(?, ''), COALESCE(?, ''), ?, ?, COALESCE(?, ''), ?, ?, "
                       "COALESCE(?, ''), ?, ?)"_s))
        return false;
    BindValues(query, record);
    return true;
}

bool PrepareUpdate(QSqlQuery &query, qint64 id, const RunRecord &record)
{
    if (!query.prepare(u"UPDATE runs SET cause = COALESCE(?, ''), started_ms = ?, started_offset = ?, "
                       "ended_ms = ?, ended_offset = ?, ok = ?, file = COALESCE(?, ''), size_bytes = ?, "
                       "reason = COALESCE(?, ''), verification = COALESCE(?, ''), removed = COALESCE(?, ''), "
                       "started_elapsed_ms = ?, ended_elapsed_ms = ?, boot_id = COALESCE(?, ''), "
                       "finished = ?, clock_suspect = ?, second_copy = COALESCE(?, ''), second_copy_ms = ?, "
                       "second_copy_bytes = ? WHERE id = ?"_s))
        return false;
    BindValues(query, record);
    query.addBindValue(id);
    return true;
}

RunRecord ReadRecord(const QSqlQuery &query)
{
    RunRecord record;
    record.id = query.value(0).toLongLong();
    record.cause = query.value(1).toString();
    record.started = FromStored(query.value(2), query.value(3));
    record.ended = FromStored(query.value(4), query.value(5));
    record.ok = query.value(6).toInt() != 0;
    record.file = query.value(7).toString();
    record.sizeBytes = query.value(8).toLongLong();
    record.reason = query.value(9).toString();
    record.verification = query.value(10).toString();
    record.removed = query.value(11).toString().split(u'\n', Qt::SkipEmptyParts);
    record.startedElapsedMs = query.value(12).toLongLong();
    record.endedElapsedMs = query.value(13).toLongLong();
    record.bootId = query.value(14).toString();
    record.finished = query.value(15).toInt() != 0;
    record.clockSuspect = query.value(16).toInt() != 0;
    record.secondCopy = query.value(17).toString();
    record.secondCopyMs = query.value(18).toLongLong();
    record.secondCopyBytes = query.value(19).toLongLong();
    return record;
}

} // namespace RecordRow
