#include "statementcursor.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

using Kind = SqlToken::Kind;

constexpr quint8 SyntaxSeverity = 15;

// Reserved words that can appear around a BACKUP or RESTORE; a bare name cannot be one of them.
const QSet<QString> ReservedWords = {u"BACKUP"_s, u"RESTORE"_s, u"DATABASE"_s, u"DISK"_s,
                                     u"TO"_s,     u"FROM"_s,    u"WITH"_s,     u"FILE"_s};

ServerMessage syntaxError(qint32 number, const QString &text)
{
    return {number, 1, SyntaxSeverity, text};
}

} // namespace

StatementCursor::StatementCursor(const QString &batch) : m_tokens(SqlLexer::tokenize(batch)) {}

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
    ++m_at;
    return true;
}

bool StatementCursor::symbol(QChar c)
{
    if (!isSymbol(c))
        return fail();
    ++m_at;
    return true;
}

bool StatementCursor::name(QString *out)
{
    const SqlToken &token = current();
    if (token.kind == Kind::Variable)
        return undeclared(token);
    const bool bare = token.kind == Kind::Word && !ReservedWords.contains(token.value.toUpper());
    if (!bare && token.kind != Kind::QuotedName)
        return fail();
    *out = token.value;
    ++m_at;
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
    ++m_at;
    return true;
}

bool StatementCursor::options(const QSet<QString> &known, QStringView statementKind,
                              const std::function<void(const QString &, const SqlToken *)> &take)
{
    if (!isWord(u"WITH"))
        return true;
    do {
        ++m_at;
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
        m_errors.append(
            syntaxError(155, u"'%1' is not a recognized %2 option."_s.arg(token.source, statementKind)));
        return false;
    }
    ++m_at;
    if (!isSymbol(u'=')) {
        take(option, nullptr);
        return true;
    }
    ++m_at;
    const SqlToken &value = current();
    if (value.kind == Kind::Variable)
        return undeclared(value);
    if (value.kind != Kind::Number && value.kind != Kind::String && value.kind != Kind::Word &&
        value.kind != Kind::QuotedName)
        return fail();
    take(option, &value);
    ++m_at;
    return true;
}

bool StatementCursor::end()
{
    if (isSymbol(u';'))
        ++m_at;
    return current().kind == Kind::End || fail();
}

bool StatementCursor::undeclared(const SqlToken &variable)
{
    m_errors.append(syntaxError(137, u"Must declare the scalar variable \"%1\"."_s.arg(variable.source)));
    return false;
}

// The server names the token it stopped at, or the last one when the text ran out.
bool StatementCursor::fail()
{
    const SqlToken &token = current();
    if (token.kind == Kind::UnclosedQuote) {
        m_errors.append(
            syntaxError(105, u"Unclosed quotation mark after the character string '%1'."_s.arg(token.value)));
        m_errors.append(syntaxError(102, u"Incorrect syntax near '%1'."_s.arg(token.value)));
        return false;
    }
    if (token.kind == Kind::UnclosedComment) {
        m_errors.append(syntaxError(113, u"Missing end comment mark '*/'."_s));
        return false;
    }
    const SqlToken &near = token.kind == Kind::End && m_at > 0 ? m_tokens.at(m_at - 1) : token;
    if (near.kind == Kind::Word && ReservedWords.contains(near.value.toUpper()))
        m_errors.append(syntaxError(156, u"Incorrect syntax near the keyword '%1'."_s.arg(near.source)));
    else
        m_errors.append(syntaxError(102, u"Incorrect syntax near '%1'."_s.arg(near.source)));
    return false;
}

} // namespace tdstest
