#include "backupstatement.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

using Kind = SqlToken::Kind;

constexpr quint8 SyntaxSeverity = 15;
constexpr int DefaultStatsPercent = 10;

// Reserved words that can appear around a BACKUP; a bare name cannot be one of them.
const QSet<QString> ReservedWords = {u"BACKUP"_s, u"DATABASE"_s, u"DISK"_s, u"TO"_s, u"WITH"_s, u"FILE"_s};

const QSet<QString> BackupOptions = {
    u"BLOCKSIZE"_s,
    u"BUFFERCOUNT"_s,
    u"CHECKSUM"_s,
    u"NO_CHECKSUM"_s,
    u"COMPRESSION"_s,
    u"NO_COMPRESSION"_s,
    u"COPY_ONLY"_s,
    u"DESCRIPTION"_s,
    u"DIFFERENTIAL"_s,
    u"EXPIREDATE"_s,
    u"RETAINDAYS"_s,
    u"FORMAT"_s,
    u"NOFORMAT"_s,
    u"INIT"_s,
    u"NOINIT"_s,
    u"MAXTRANSFERSIZE"_s,
    u"MEDIADESCRIPTION"_s,
    u"MEDIANAME"_s,
    u"MEDIAPASSWORD"_s,
    u"NAME"_s,
    u"PASSWORD"_s,
    u"SKIP"_s,
    u"NOSKIP"_s,
    u"REWIND"_s,
    u"NOREWIND"_s,
    u"UNLOAD"_s,
    u"NOUNLOAD"_s,
    u"RESTART"_s,
    u"STATS"_s,
    u"CONTINUE_AFTER_ERROR"_s,
    u"STOP_ON_ERROR"_s,
};

ServerMessage syntaxError(qint32 number, const QString &text)
{
    return {number, 1, SyntaxSeverity, text};
}

} // namespace

bool BackupStatementParser::isBackup(const QString &batch)
{
    const SqlToken first = SqlLexer::tokenize(batch).constFirst();
    return first.kind == Kind::Word && first.value.compare(u"BACKUP", Qt::CaseInsensitive) == 0;
}

BackupParse BackupStatementParser::parse(const QString &batch)
{
    return BackupStatementParser(batch).run();
}

BackupStatementParser::BackupStatementParser(const QString &batch) : m_tokens(SqlLexer::tokenize(batch)) {}

BackupParse BackupStatementParser::run()
{
    BackupStatement statement;
    const bool parsed = keyword(u"BACKUP") && keyword(u"DATABASE") && name(&statement.database) &&
                        keyword(u"TO") && keyword(u"DISK") && symbol(u'=') && path(&statement.path) &&
                        options(&statement) && end();
    if (!parsed)
        return {std::nullopt, m_errors};
    return {statement, {}};
}

bool BackupStatementParser::isWord(QStringView word) const
{
    return current().kind == Kind::Word && current().value.compare(word, Qt::CaseInsensitive) == 0;
}

bool BackupStatementParser::isSymbol(QChar c) const
{
    return current().kind == Kind::Symbol && current().value == QString(c);
}

bool BackupStatementParser::keyword(QStringView word)
{
    if (!isWord(word))
        return fail();
    ++m_at;
    return true;
}

bool BackupStatementParser::symbol(QChar c)
{
    if (!isSymbol(c))
        return fail();
    ++m_at;
    return true;
}

bool BackupStatementParser::name(QString *out)
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

bool BackupStatementParser::path(QString *out)
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

bool BackupStatementParser::options(BackupStatement *statement)
{
    if (!isWord(u"WITH"))
        return true;
    do {
        ++m_at;
        if (!option(statement))
            return false;
    } while (isSymbol(u','));
    return true;
}

bool BackupStatementParser::option(BackupStatement *statement)
{
    const SqlToken &token = current();
    if (token.kind != Kind::Word)
        return fail();
    const QString option = token.value.toUpper();
    if (!BackupOptions.contains(option)) {
        m_errors.append(syntaxError(155, u"'%1' is not a recognized BACKUP option."_s.arg(token.source)));
        return false;
    }
    ++m_at;
    if (option == u"STATS"_s)
        statement->statsPercent = DefaultStatsPercent;
    if (!isSymbol(u'='))
        return true;
    ++m_at;
    const SqlToken &value = current();
    if (value.kind == Kind::Variable)
        return undeclared(value);
    if (value.kind != Kind::Number && value.kind != Kind::String && value.kind != Kind::Word &&
        value.kind != Kind::QuotedName)
        return fail();
    if (option == u"STATS"_s)
        statement->statsPercent = qBound(0, value.value.toInt(), 100);
    ++m_at;
    return true;
}

bool BackupStatementParser::end()
{
    if (isSymbol(u';'))
        ++m_at;
    return current().kind == Kind::End || fail();
}

bool BackupStatementParser::undeclared(const SqlToken &variable)
{
    m_errors.append(syntaxError(137, u"Must declare the scalar variable \"%1\"."_s.arg(variable.source)));
    return false;
}

// The server names the token it stopped at, or the last one when the text ran out.
bool BackupStatementParser::fail()
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
