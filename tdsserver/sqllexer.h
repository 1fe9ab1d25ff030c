#pragma once

#include <QList>
#include <QString>

namespace tdstest {

struct SqlToken {
    enum class Kind {
        Word,       // keyword or bare identifier
        QuotedName, // [name] or "name"
        String,     // '...' or N'...'
        Number,
        Variable, // @name
        Symbol,
        End,
        UnclosedQuote,
        UnclosedComment,
    };
    Kind kind = Kind::End;
    QString value;  // escapes undone: ]] -> ], '' -> '
    QString source; // as written
};

// Splits T-SQL into tokens the way the server's parser sees them; comments count as whitespace.
class SqlLexer {
public:
    static QList<SqlToken> tokenize(const QString &text);

private:
    explicit SqlLexer(const QString &text);
    SqlToken next();
    bool skipSpaceAndComments();
    SqlToken quoted(SqlToken::Kind kind, qsizetype start, QChar close);
    SqlToken run(SqlToken::Kind kind, qsizetype start, bool (*belongs)(QChar));

    QString text_;
    qsizetype at_ = 0;
};

} // namespace tdstest
