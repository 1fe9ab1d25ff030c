#include "sqllexer.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

bool startsWord(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}

bool continuesWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'@' || c == u'$';
}

bool continuesNumber(QChar c)
{
    return c.isDigit() || c == u'.';
}

} // namespace

SqlLexer::SqlLexer(const QString &text) : m_text(text) {}

QList<SqlToken> SqlLexer::tokenize(const QString &text)
{
    SqlLexer lexer(text);
    QList<SqlToken> tokens;
    for (;;) {
        tokens.append(lexer.next());
        const SqlToken::Kind kind = tokens.constLast().kind;
        if (kind == SqlToken::Kind::End || kind == SqlToken::Kind::UnclosedQuote ||
            kind == SqlToken::Kind::UnclosedComment)
            return tokens;
    }
}

SqlToken SqlLexer::next()
{
    if (!skipSpaceAndComments())
        return {SqlToken::Kind::UnclosedComment, {}, m_text.mid(m_at)};
    if (m_at >= m_text.size())
        return {};
    const qsizetype start = m_at;
    const QChar c = m_text.at(m_at);
    const bool national = (c == u'N' || c == u'n') && m_text.mid(m_at + 1, 1) == u"'"_s;
    if (national || c == u'\'') {
        m_at += national ? 2 : 1;
        return quoted(SqlToken::Kind::String, start, u'\'');
    }
    if (c == u'[' || c == u'"') {
        ++m_at;
        return quoted(SqlToken::Kind::QuotedName, start, c == u'[' ? u']' : u'"');
    }
    if (c == u'@')
        return run(SqlToken::Kind::Variable, start, continuesWord);
    if (startsWord(c))
        return run(SqlToken::Kind::Word, start, continuesWord);
    if (c.isDigit())
        return run(SqlToken::Kind::Number, start, continuesNumber);
    ++m_at;
    return {SqlToken::Kind::Symbol, c, c};
}

bool SqlLexer::skipSpaceAndComments()
{
    while (m_at < m_text.size()) {
        const QStringView rest = QStringView(m_text).mid(m_at);
        if (rest.front().isSpace()) {
            ++m_at;
        } else if (rest.startsWith(u"--")) {
            const qsizetype end = m_text.indexOf(u'\n', m_at);
            m_at = end < 0 ? m_text.size() : end + 1;
        } else if (rest.startsWith(u"/*")) {
            // Block comments nest in T-SQL.
            int depth = 0;
            do {
                if (m_at + 1 >= m_text.size())
                    return false;
                const QStringView pair = QStringView(m_text).mid(m_at, 2);
                if (pair == u"/*") {
                    ++depth;
                    m_at += 2;
                } else if (pair == u"*/") {
                    --depth;
                    m_at += 2;
                } else {
                    ++m_at;
                }
            } while (depth > 0);
        } else {
            return true;
        }
    }
    return true;
}

SqlToken SqlLexer::quoted(SqlToken::Kind kind, qsizetype start, QChar close)
{
    const qsizetype bodyStart = m_at;
    QString value;
    while (m_at < m_text.size()) {
        const QChar c = m_text.at(m_at++);
        if (c != close) {
            value.append(c);
        } else if (m_at < m_text.size() && m_text.at(m_at) == close) {
            // A doubled closing character stands for itself.
            value.append(c);
            ++m_at;
        } else {
            return {kind, value, m_text.mid(start, m_at - start)};
        }
    }
    return {SqlToken::Kind::UnclosedQuote, m_text.mid(bodyStart), m_text.mid(start)};
}

SqlToken SqlLexer::run(SqlToken::Kind kind, qsizetype start, bool (*belongs)(QChar))
{
    ++m_at;
    while (m_at < m_text.size() && belongs(m_text.at(m_at)))
        ++m_at;
    const QString source = m_text.mid(start, m_at - start);
    return {kind, source, source};
}

} // namespace tdstest
