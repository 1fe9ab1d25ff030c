#pragma once

#include "servermessage.h"

#include <QList>
#include <QString>
#include <optional>

namespace tdstest {

struct BackupStatement {
    QString database;
    QString path;
    int statsPercent = 0; // 0: no "N percent processed." messages
};

struct BackupParse {
    std::optional<BackupStatement> statement;
    QList<ServerMessage> errors; // set when statement is not
};

// Reads BACKUP DATABASE <name> TO DISK = <path> [WITH ...] as the server's parser does.
class BackupStatementParser {
public:
    static bool isBackup(const QString &batch);
    static BackupParse parse(const QString &batch);
};

} // namespace tdstest
