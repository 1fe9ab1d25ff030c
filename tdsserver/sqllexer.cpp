#include "sqllexer.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

bool StartsWord(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}

bool ContinuesWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'@' || c == u'$';
}

bool ContinuesNumber(QChar c)
{
    return c.isDigit() || c == u'.';
}

} // namespace

SqlLexer::SqlLexer(const QString &text) : text_(text) {}

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
        return {SqlToken::Kind::UnclosedComment, {}, text_.mid(at_)};
    if (at_ >= text_.size())
        return {};
    const qsizetype start = at_;
    const QChar c = text_.at(at_);
    const bool national = (c == u'N' || c == u'n') && text_.mid(at_ + 1, 1) == u"'"_s;
    if (national || c == u'\'') {
        at_ += national ? 2 : 1;
        return quoted(SqlToken::Kind::String, start, u'\'');
    }
    if (c == u'[' || c == u'"') {
        ++at_;
        return quoted(SqlToken::Kind::QuotedName, start, c == u'[' ? u']' : u'"');
    }
    if (c == u'@')
        return run(SqlToken::Kind::Variable, start, ContinuesWord);
    if (StartsWord(c))
        return run(SqlToken::Kind::Word, start, ContinuesWord);
    if (c.isDigit())
        return run(SqlToken::Kind::Number, start, ContinuesNumber);
    ++at_;
    return {SqlToken::Kind::Symbol, c, c};
}

bool SqlLexer::skipSpaceAndComments()
{
    while (at_ < text_.size()) {
        const QStringView rest = QStringView(text_).mid(at_);
        if (rest.front().isSpace()) {
            ++at_;
        } else if (rest.startsWith(u"--")) {
            const qsizetype end = text_.indexOf(u'\n', at_);
            at_ = end < 0 ? text_.size() : end + 1;
        } else if (rest.startsWith(u"/*")) {
            // Block comments nest in T-SQL.
            int depth = 0;
            do {
                if (at_ + 1 >= text_.size())
                    return false;
                const QStringView pair = QStringView(text_).mid(at_, 2);
                if (pair == u"/*") {
                    ++depth;
                    at_ += 2;
                } else if (pair == u"*/") {
                    --depth;
                    at_ += 2;
                } else {
                    ++at_;
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
    const qsizetype bodyStart = at_;
    QString value;
    while (at_ < text_.size()) {
        const QChar c = text_.at(at_++);
        if (c != close) {
            value.append(c);
        } else if (at_ < text_.size() && text_.at(at_) == close) {
            // A doubled closing character stands for itself.
            value.append(c);
            ++at_;
        } else {
            return {kind, value, text_.mid(start, at_ - start)};
        }
    }
    return {SqlToken::Kind::UnclosedQuote, text_.mid(bodyStart), text_.mid(start)};
}

SqlToken SqlLexer::run(SqlToken::Kind kind, qsizetype start, bool (*belongs)(QChar))
{
    ++at_;
    while (at_ < text_.size() && belongs(text_.at(at_)))
        ++at_;
    const QString source = text_.mid(start, at_ - start);
    return {kind, source, source};
}

} // namespace tdstest
