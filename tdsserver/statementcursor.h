#pragma once

#include "servermessage.h"
#include "sqllexer.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <utility>

namespace tdstest {

// Walks a statement's tokens as the server's parser does, collecting the errors it would send: each step
// returns false, its error noted, when the statement does not go on as expected.
class StatementCursor {
public:
    explicit StatementCursor(const QString &batch);

    bool isWord(QStringView word) const;
    bool keyword(QStringView word);
    bool symbol(QChar c);
    // A database name: bare, [bracketed] or "quoted".
    bool name(QString *out);
    // A device path: '...' or N'...'.
    bool path(QString *out);
    // An optional WITH list; take gets each option in upper case, and its value or nullptr.
    bool options(const QSet<QString> &known, QStringView statementKind,
                 const std::function<void(const QString &, const SqlToken *)> &take);
    // An optional semicolon, then nothing.
    bool end();

    QList<ServerMessage> errors() const { return errors_; }
    // Each MOVE 'logical' TO 'physical' the WITH list held, as written.
    QList<std::pair<QString, QString>> moves() const { return moves_; }

private:
    const SqlToken &current() const { return tokens_.at(at_); }
    bool isSymbol(QChar c) const;
    bool option(const QSet<QString> &known, QStringView statementKind,
                const std::function<void(const QString &, const SqlToken *)> &take);
    bool undeclared(const SqlToken &variable);
    bool fail();

    QList<SqlToken> tokens_;
    qsizetype at_ = 0;
    QList<ServerMessage> errors_;
    QList<std::pair<QString, QString>> moves_;
};

} // namespace tdstest
