#pragma once

#include "history/RunRecord.h"

#include <QList>
#include <QStringList>

class QSqlQuery;

// How a run lies in the history file: one row of the table "runs".
namespace RecordRow {

// Creates the table where it is missing; harmless on a file that has it.
const QStringList &SchemaStatements();

// A column added after the table's first version, with its type and the default an older row reads as.
struct AddedColumn {
    QString name;
    QString definition;
};
const QList<AddedColumn> &AddedColumns();

// The columns ReadRecord expects, in its order, for a SELECT.
const QString &Columns();

// The INSERT with the record's values bound, ready to run; false, with the query's error, when the file
// cannot take it. The id is the file's.
bool PrepareInsert(QSqlQuery &query, const RunRecord &record);

// The UPDATE that makes row `id` hold the record, ready to run.
bool PrepareUpdate(QSqlQuery &query, qint64 id, const RunRecord &record);

RunRecord ReadRecord(const QSqlQuery &query);

} // namespace RecordRow
