#include "history/HistoryConnection.h"

#include "history/RecordRow.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

QAtomicInteger<quint64> connectionsMade;

// SQLite itself would create the file with the process's default mode; the history tells who ran when,
// and what failed with which server's words, so it is made first, for the owner alone.
QSqlError CreateOwnerOnly(const QString &path)
{
    if (QFile::exists(path))
        return {};
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        QFile::exists(path))
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
        if (side.exists() && !side.isWritable() &&
            !QFile::setPermissions(side.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner))
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
    for (const QString &statement : QStringList{u"PRAGMA journal_mode=WAL"_s, u"PRAGMA synchronous=FULL"_s} +
                                        RecordRow::SchemaStatements()) {
        if (!query.exec(statement)) {
            error_ = query.lastError();
            return;
        }
    }
    addMissingColumns(query);
}

// A file an earlier version wrote lacks the newer columns: they are added, and its rows stay as they were.
void HistoryConnection::addMissingColumns(QSqlQuery &query)
{
    QSet<QString> present;
    if (!query.exec(u"PRAGMA table_info(runs)"_s)) {
        error_ = query.lastError();
        return;
    }
    while (query.next())
        present.insert(query.value(1).toString());
    for (const RecordRow::AddedColumn &column : RecordRow::AddedColumns()) {
        if (present.contains(column.name))
            continue;
        if (!query.exec(u"ALTER TABLE runs ADD COLUMN %1 %2"_s.arg(column.name, column.definition))) {
            error_ = query.lastError();
            return;
        }
    }
}
