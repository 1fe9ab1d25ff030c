#pragma once

#include "servermessage.h"

#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace tdstest {

// What a RESTORE, DBCC or DROP batch asks for, read from its first words.
enum class WorkKind : quint8 { None, Verify, FileList, RestoreDatabase, CheckDatabase, DropDatabase };

WorkKind WorkKindOf(const QString &batch);

struct RestoreDatabaseStatement {
    QString database;
    QString path;
    QList<std::pair<QString, QString>> moves; // logical name, new physical path
    int stats = 0;
};

// A statement's one operand (a path, a database name) or the parser's errors.
struct OperandParse {
    std::optional<QString> operand;
    QList<ServerMessage> errors;
};

struct RestoreParse {
    std::optional<RestoreDatabaseStatement> statement;
    QList<ServerMessage> errors;
};

// RESTORE FILELISTONLY FROM DISK = <path> [WITH ...]
OperandParse ParseFileList(const QString &batch);
// RESTORE DATABASE <name> FROM DISK = <path> [WITH MOVE <logical> TO <physical>, ..., STATS = n, ...]
RestoreParse ParseRestoreDatabase(const QString &batch);
// DBCC CHECKDB (<name>) [WITH ...]
OperandParse ParseCheckDatabase(const QString &batch);
// DROP DATABASE <name>
OperandParse ParseDropDatabase(const QString &batch);

} // namespace tdstest
