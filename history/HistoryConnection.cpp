#include "history/HistoryConnection.h"

#include "history/RecordRow.h"
#include "platform/OwnerOnly.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QAtomicInteger<quint64> connectionsMade;

constexpr int kBusyWaitMs = 2000;
constexpr int kBusyPauseMs = 20;

// SQLite gives up at once, without its busy wait, where waiting could deadlock: when two connections switch
// a new file to WAL together, or both hold a read lock and want to write. The history is never used on the
// user-interface thread, so such a statement is simply tried again for as long as the busy wait would last.
bool ExecWaiting(QSqlQuery &query, const QString &statement)
{
    for (int waited = 0;; waited += kBusyPauseMs) {
        if (query.exec(statement))
            return true;
        const QString code = query.lastError().nativeErrorCode();
        if ((code != u"5"_s && code != u"6"_s) || waited >= kBusyWaitMs)
            return false;
        QThread::msleep(kBusyPauseMs);
    }
}

// SQLite itself would create the file with the process's default mode; the history tells who ran when,
// and what failed with which server's words, so it is made first, for the owner alone.
QSqlError CreateOwnerOnly(const QString &path)
{
    if (QFile::exists(path))
        return {};
    QFile file(path);
    if (OpenNewOwnerOnly(file) || QFile::exists(path))
        return {};
    return QSqlError(file.errorString(), path, QSqlError::ConnectionError);
}

// SQLite creates the -wal and -shm files with the database's mode, and a read-only connection leaves them
// behind when it closes: after the file was read-only for a while and then given back, they would keep
// every later connection from writing ("attempt to write a readonly database"). When the file itself is
// writable again they are given back too; one this user cannot change leaves the open to fail, named in the
// log.
void ReopenSideFiles(const QString &path)
{
    if (!QFileInfo(path).isWritable())
        return;
    for (const QString &suffix : {u"-wal"_s, u"-shm"_s}) {
        const QFileInfo side(path + suffix);
        if (side.exists() && !side.isWritable() && !MakeOwnerOnly(side.filePath()))
            qWarning("cannot make %s writable again", qPrintable(side.filePath()));
    }
}

} // namespace

HistoryConnection::HistoryConnection(const QString &path)
    : name_(u"kvz-history-"_s + QString::number(connectionsMade.fetchAndAddRelaxed(1)))
{
    error_ = CreateOwnerOnly(path);
    if (error_.isValid())
        return;
    ReopenSideFiles(path);
    database_ = QSqlDatabase::addDatabase(u"QSQLITE"_s, name_);
    prepare(path);
}

HistoryConnection::~HistoryConnection()
{
    if (!database_.isValid())
        return;
    database_.close();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

void HistoryConnection::prepare(const QString &path)
{
    database_.setDatabaseName(path);
    // A file another program holds is waited for this long, then given up: a backup never waits on it.
    database_.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=2000"_s);
    if (!database_.open()) {
        error_ = database_.lastError();
        return;
    }
    // WAL with a full sync at each commit: a run whose append has returned survives a crash, a kill or a
    // power cut, and the window can read while the worker writes.
    QSqlQuery query(database_);
    for (const QString &statement : {u"PRAGMA journal_mode=WAL"_s, u"PRAGMA synchronous=FULL"_s}) {
        if (!ExecWaiting(query, statement)) {
            error_ = query.lastError();
            return;
        }
    }
    if (missingColumns(query).isEmpty() || error_.isValid())
        return;
    // Two threads, or two programs, may open a new or older file at once: the table and its columns are
    // made under the write lock, and looked at again once it is held, so that neither adds them twice.
    const bool made =
        ExecWaiting(query, u"BEGIN IMMEDIATE"_s) && makeSchema(query) && query.exec(u"COMMIT"_s);
    if (!made) {
        if (!error_.isValid())
            error_ = query.lastError();
        query.exec(u"ROLLBACK"_s);
    }
}

bool HistoryConnection::makeSchema(QSqlQuery &query)
{
    for (const QString &statement : RecordRow::SchemaStatements())
        if (!query.exec(statement))
            return false;
    // A file an earlier version wrote lacks the newer columns: they are added, and its rows stay as they
    // were.
    for (const RecordRow::AddedColumn &column : missingColumns(query))
        if (!query.exec(u"ALTER TABLE runs ADD COLUMN %1 %2"_s.arg(column.name, column.definition)))
            return false;
    return !error_.isValid();
}

// The added columns the file lacks; every one of them when it has no table yet.
QList<RecordRow::AddedColumn> HistoryConnection::missingColumns(QSqlQuery &query)
{
    QSet<QString> present;
    if (!query.exec(u"PRAGMA table_info(runs)"_s)) {
        error_ = query.lastError();
        return {};
    }
    while (query.next())
        present.insert(query.value(1).toString());
    QList<RecordRow::AddedColumn> missing;
    for (const RecordRow::AddedColumn &column : RecordRow::AddedColumns())
        if (!present.contains(column.name))
            missing.append(column);
    return missing;
}
