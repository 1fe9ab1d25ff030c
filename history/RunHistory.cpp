#include "history/RunHistory.h"

#include "backup/BackupPlan.h"
#include "history/HistoryConnection.h"
#include "history/HistoryFailures.h"
#include "history/RecordRow.h"
#include "history/SetAside.h"

#include <QDir>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using namespace HistoryFailures;

namespace {

constexpr int kSummaryDays = 7;

bool Exec(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

// GLOB compares letter case as the file names do; of its wildcards only '[' can stay in a name.
QString GlobLiteral(const QString &text)
{
    return QString(text).replace(u'[', u"[[]"_s);
}

std::optional<RunRecord> First(const QList<RunRecord> &records)
{
    if (records.isEmpty())
        return std::nullopt;
    return records.first();
}

} // namespace

const QString RunHistory::kFileName = u"yedekleme-gecmisi.db"_s;
const QString RunHistory::kInterruptedReason =
    u"YARIDA KESİLDİ: yedekleme sürerken program ya da bilgisayar kapandı; bu dosyaya güvenmeyin."_s;

RunHistory::RunHistory(const QString &programFolder, int maxEntries)
    : path_(QDir(programFolder).filePath(kFileName)), maxEntries_(maxEntries)
{}

Result<qint64> RunHistory::append(const RunRecord &record) const
{
    qint64 id = 0;
    const auto insert = [&](QSqlQuery &query) {
        if (!RecordRow::PrepareInsert(query, record) || !query.exec())
            return false;
        id = query.lastInsertId().toLongLong();
        return prune(query, record);
    };
    const QSqlError damage = transact(insert);
    if (!damage.isValid())
        return id;
    if (!IsDamaged(damage))
        return WriteFailure(path_, damage);
    const Result<QString> aside = SetAside(path_, record.ended);
    if (!aside)
        return aside.failure();
    return DamagedFailure(path_, aside.value(), damage, transact(insert));
}

bool RunHistory::prune(QSqlQuery &query, const RunRecord &record) const
{
    // A clock a year ahead would otherwise wipe out the whole record of the runs that really happened; a
    // run not yet ended has not had its clock checked.
    const bool byAge = record.finished && !record.clockSuspect;
    return (!byAge || Exec(query, u"DELETE FROM runs WHERE ended_ms < ?"_s,
                           {record.ended.addYears(-1).toMSecsSinceEpoch()})) &&
           Exec(query,
                u"DELETE FROM runs WHERE id <= (SELECT id FROM runs ORDER BY id DESC LIMIT 1 OFFSET ?)"_s,
                {maxEntries_});
}

QSqlError RunHistory::transact(const std::function<bool(QSqlQuery &)> &work) const
{
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return connection.error();
    QSqlQuery query(connection.database());
    // IMMEDIATE takes the write lock at once, so a file another program holds is waited for here.
    if (!query.exec(u"BEGIN IMMEDIATE"_s))
        return query.lastError();
    if (work(query) && query.exec(u"COMMIT"_s))
        return {};
    const QSqlError error = query.lastError();
    query.exec(u"ROLLBACK"_s);
    // Only an invalid error means written: a step that failed without a word from the driver still failed.
    return error.isValid() ? error : QSqlError(QString(), QString(), QSqlError::TransactionError);
}

Result<qint64> RunHistory::begin(const RunRecord &record) const
{
    RunRecord open = record;
    open.finished = false;
    // No success until it has ended, and an end no clock has read yet.
    open.ok = false;
    open.ended = open.started;
    open.endedElapsedMs = -1;
    return append(open);
}

Outcome RunHistory::finish(qint64 id, const RunRecord &record) const
{
    bool found = false;
    const QSqlError error = transact([&](QSqlQuery &query) {
        if (!RecordRow::PrepareUpdate(query, id, record) || !query.exec())
            return false;
        found = query.numRowsAffected() > 0;
        return !found || prune(query, record);
    });
    if (error.isValid() && !IsDamaged(error))
        return WriteFailure(path_, error);
    if (!error.isValid() && found)
        return Done{};
    const Result<qint64> appended = append(record);
    if (!appended)
        return appended.failure();
    return Done{};
}

Result<int> RunHistory::closeInterrupted() const
{
    int closed = 0;
    const QSqlError error = transact([&](QSqlQuery &query) {
        if (!Exec(
                query,
                u"UPDATE runs SET finished = 1, ok = 0, reason = ?, ended_elapsed_ms = -1 WHERE finished = 0"_s,
                {kInterruptedReason}))
            return false;
        closed = query.numRowsAffected();
        return true;
    });
    if (error.isValid())
        return WriteFailure(path_, error);
    return closed;
}

Result<qint64> RunHistory::longestSuccessMs() const
{
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return ReadFailure(path_, connection.error());
    QSqlQuery query(connection.database());
    if (!query.exec(
            u"SELECT COALESCE(MAX(CASE WHEN started_elapsed_ms >= 0 AND ended_elapsed_ms >= "
            "started_elapsed_ms THEN ended_elapsed_ms - started_elapsed_ms ELSE ended_ms - started_ms "
            "END), 0) FROM runs WHERE ok = 1 AND finished = 1 AND started_ms IS NOT NULL"_s) ||
        !query.next())
        return ReadFailure(path_, query.lastError());
    return std::max<qint64>(0, query.value(0).toLongLong());
}

Result<QList<RunRecord>> RunHistory::select(const QString &clauses, const QVariantList &values) const
{
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return ReadFailure(path_, connection.error());
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!Exec(query, u"SELECT "_s + RecordRow::Columns() + u" FROM runs "_s + clauses, values))
        return ReadFailure(path_, query.lastError());
    QList<RunRecord> records;
    while (query.next())
        records.append(RecordRow::ReadRecord(query));
    if (query.lastError().isValid())
        return ReadFailure(path_, query.lastError());
    return records;
}

Result<QList<RunRecord>> RunHistory::recent(int limit) const
{
    return select(u"ORDER BY id DESC LIMIT ?"_s, {limit});
}

Result<std::optional<RunRecord>> RunHistory::last() const
{
    const Result<QList<RunRecord>> records = select(u"ORDER BY id DESC LIMIT 1"_s, {});
    if (!records)
        return records.failure();
    return First(records.value());
}

Result<std::optional<RunRecord>> RunHistory::lastSuccess() const
{
    const Result<QList<RunRecord>> records = select(u"WHERE ok = 1 ORDER BY id DESC LIMIT 1"_s, {});
    if (!records)
        return records.failure();
    return First(records.value());
}

Result<QStringList> RunHistory::fileNames(const QString &clauses, const QVariantList &values) const
{
    const Result<QList<RunRecord>> records = select(clauses, values);
    if (!records)
        return records.failure();
    QStringList names;
    for (const RunRecord &record : records.value())
        names.append(ServerFileName(record.file));
    return names;
}

Result<QStringList> RunHistory::namesSince(const QDateTime &since) const
{
    return fileNames(u"WHERE started_ms >= ? AND file <> '' ORDER BY id"_s, {since.toMSecsSinceEpoch()});
}

Result<QList<qint64>> RunHistory::recentSizes(const QString &database, int limit) const
{
    const QString sample = BackupFileName(database, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    const QString name = GlobLiteral(sample.mid(sample.indexOf(u'-') + 1).chopped(4));
    const Result<QList<RunRecord>> records =
        select(u"WHERE ok = 1 AND size_bytes > 0 AND (file GLOB ? OR file GLOB ?) ORDER BY id DESC LIMIT ?"_s,
               {u"*-%1.bak"_s.arg(name), u"*-%1-[1-9]*.bak"_s.arg(name), limit});
    if (!records)
        return records.failure();
    QList<qint64> sizes;
    for (const RunRecord &record : records.value())
        sizes.append(record.sizeBytes);
    return sizes;
}

Result<QStringList> RunHistory::successfulNames(int limit) const
{
    return fileNames(u"WHERE ok = 1 AND file <> '' ORDER BY id DESC LIMIT ?"_s, {limit});
}

Result<RunSummary> RunHistory::summary(const QDateTime &now) const
{
    const Result<std::optional<RunRecord>> success = lastSuccess();
    if (!success)
        return success.failure();
    HistoryConnection connection(path_);
    if (connection.error().isValid())
        return ReadFailure(path_, connection.error());
    QSqlQuery query(connection.database());
    if (!Exec(query, u"SELECT COALESCE(SUM(ok), 0), COUNT(*) FROM runs WHERE finished = 1 AND ended_ms > ?"_s,
              {now.addDays(-kSummaryDays).toMSecsSinceEpoch()}) ||
        !query.next())
        return ReadFailure(path_, query.lastError());
    RunSummary summary;
    if (success.value())
        summary.lastSuccess = success.value()->ended;
    // The last run that made its second copy, or else the last that tried.
    const Result<QList<RunRecord>> copied = select(
        u"WHERE second_copy <> '' ORDER BY second_copy = ? DESC, id DESC LIMIT 1"_s, {kSecondCopyDone});
    if (!copied)
        return copied.failure();
    summary.secondCopyAsked = !copied->isEmpty();
    if (summary.secondCopyAsked && copied->first().secondCopy == kSecondCopyDone)
        summary.lastSecondCopy = copied->first().ended;
    summary.successes = query.value(0).toInt();
    summary.failures = query.value(1).toInt() - summary.successes;
    return summary;
}
