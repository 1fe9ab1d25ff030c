#pragma once

#include "history/RecordRow.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class QSqlQuery;

// The calling thread's own connection to the history file, for one piece of work: Qt's SQL connections
// belong to the thread that opened them, so each use opens one under a name no other has and removes it
// when done. Opening creates a missing file readable by its owner alone, and the table.
class HistoryConnection {
public:
    explicit HistoryConnection(const QString &path);
    ~HistoryConnection();
    HistoryConnection(const HistoryConnection &) = delete;
    HistoryConnection &operator=(const HistoryConnection &) = delete;

    // Invalid when the connection is ready for work.
    const QSqlError &error() const { return error_; }
    QSqlDatabase &database() { return database_; }

private:
    void prepare(const QString &path);
    bool makeSchema(QSqlQuery &query);
    QList<RecordRow::AddedColumn> missingColumns(QSqlQuery &query);

    QString name_;
    QSqlDatabase database_;
    QSqlError error_;
};
