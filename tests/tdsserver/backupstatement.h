#pragma once

#include "servermessage.h"
#include "sqllexer.h"

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

private:
    explicit BackupStatementParser(const QString &batch);
    BackupParse run();
    const SqlToken &current() const { return m_tokens.at(m_at); }
    bool isWord(QStringView word) const;
    bool isSymbol(QChar c) const;
    bool keyword(QStringView word);
    bool symbol(QChar c);
    bool name(QString *out);
    bool path(QString *out);
    bool options(BackupStatement *statement);
    bool option(BackupStatement *statement);
    bool end();
    bool undeclared(const SqlToken &variable);
    bool fail();

    QList<SqlToken> m_tokens;
    qsizetype m_at = 0;
    QList<ServerMessage> m_errors;
};

} // namespace tdstest
