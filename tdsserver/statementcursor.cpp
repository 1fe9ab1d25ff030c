#include "statementcursor.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

using Kind = SqlToken::Kind;

constexpr quint8 kSyntaxSeverity = 15;

// Reserved words that can appear around a BACKUP or RESTORE; a bare name cannot be one of them.
const QSet<QString> kReservedWords = {u"BACKUP"_s, u"RESTORE"_s, u"DATABASE"_s, u"DISK"_s,
                                      u"TO"_s,     u"FROM"_s,    u"WITH"_s,     u"FILE"_s};

ServerMessage SyntaxError(qint32 number, const QString &text)
{
    return {number, 1, kSyntaxSeverity, text};
}

} // namespace

StatementCursor::StatementCursor(const QString &batch) : tokens_(SqlLexer::tokenize(batch)) {}

bool StatementCursor::isWord(QStringView word) const
{
    return current().kind == Kind::Word && current().value.compare(word, Qt::CaseInsensitive) == 0;
}

bool StatementCursor::isSymbol(QChar c) const
{
    return current().kind == Kind::Symbol && current().value == QString(c);
}

bool StatementCursor::keyword(QStringView word)
{
    if (!isWord(word))
        return fail();
    ++at_;
    return true;
}

bool StatementCursor::symbol(QChar c)
{
    if (!isSymbol(c))
        return fail();
    ++at_;
    return true;
}

bool StatementCursor::name(QString *out)
{
    const SqlToken &token = current();
    if (token.kind == Kind::Variable)
        return undeclared(token);
    const bool bare = token.kind == Kind::Word && !kReservedWords.contains(token.value.toUpper());
    if (!bare && token.kind != Kind::QuotedName)
        return fail();
    *out = token.value;
    ++at_;
    return true;
}

bool StatementCursor::path(QString *out)
{
    const SqlToken &token = current();
    if (token.kind == Kind::Variable)
        return undeclared(token);
    if (token.kind != Kind::String)
        return fail();
    *out = token.value;
    ++at_;
    return true;
}

bool StatementCursor::options(const QSet<QString> &known, QStringView statementKind,
                              const std::function<void(const QString &, const SqlToken *)> &take)
{
    if (!isWord(u"WITH"))
        return true;
    do {
        ++at_;
        if (!option(known, statementKind, take))
            return false;
    } while (isSymbol(u','));
    return true;
}

bool StatementCursor::option(const QSet<QString> &known, QStringView statementKind,
                             const std::function<void(const QString &, const SqlToken *)> &take)
{
    const SqlToken &token = current();
    if (token.kind != Kind::Word)
        return fail();
    const QString option = token.value.toUpper();
    if (!known.contains(option)) {
        errors_.append(
            SyntaxError(155, u"'%1' is not a recognized %2 option."_s.arg(token.source, statementKind)));
        return false;
    }
    ++at_;
    if (option == u"MOVE"_s) {
        std::pair<QString, QString> move;
        if (!path(&move.first) || !keyword(u"TO") || !path(&move.second))
            return false;
        moves_.append(move);
        return true;
    }
    if (!isSymbol(u'=')) {
        take(option, nullptr);
        return true;
    }
    ++at_;
    const SqlToken &value = current();
    if (value.kind == Kind::Variable)
        return undeclared(value);
    if (value.kind != Kind::Number && value.kind != Kind::String && value.kind != Kind::Word &&
        value.kind != Kind::QuotedName)
        return fail();
    take(option, &value);
    ++at_;
    return true;
}

bool StatementCursor::end()
{
    if (isSymbol(u';'))
        ++at_;
    return current().kind == Kind::End || fail();
}

bool StatementCursor::undeclared(const SqlToken &variable)
{
    errors_.append(SyntaxError(137, u"Must declare the scalar variable \"%1\"."_s.arg(variable.source)));
    return false;
}

// The server names the token it stopped at, or the last one when the text ran out.
bool StatementCursor::fail()
{
    const SqlToken &token = current();
    if (token.kind == Kind::UnclosedQuote) {
        errors_.append(
            SyntaxError(105, u"Unclosed quotation mark after the character string '%1'."_s.arg(token.value)));
        errors_.append(SyntaxError(102, u"Incorrect syntax near '%1'."_s.arg(token.value)));
        return false;
    }
    if (token.kind == Kind::UnclosedComment) {
        errors_.append(SyntaxError(113, u"Missing end comment mark '*/'."_s));
        return false;
    }
    const SqlToken &near = token.kind == Kind::End && at_ > 0 ? tokens_.at(at_ - 1) : token;
    if (near.kind == Kind::Word && kReservedWords.contains(near.value.toUpper()))
        errors_.append(SyntaxError(156, u"Incorrect syntax near the keyword '%1'."_s.arg(near.source)));
    else
        errors_.append(SyntaxError(102, u"Incorrect syntax near '%1'."_s.arg(near.source)));
    return false;
}

} // namespace tdstest
