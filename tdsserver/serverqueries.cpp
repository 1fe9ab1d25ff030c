#include "serverqueries.h"

#include "serverstate.h"
#include "sqllexer.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

using Kind = SqlToken::Kind;

bool HasWord(const QList<SqlToken> &tokens, QStringView word)
{
    return std::any_of(tokens.cbegin(), tokens.cend(), [word](const SqlToken &token) {
        return token.kind == Kind::Word && token.value.compare(word, Qt::CaseInsensitive) == 0;
    });
}

// The first string literal after `word`, as in DB_ID(N'name').
QString StringAfter(const QList<SqlToken> &tokens, QStringView word)
{
    bool seen = false;
    for (const SqlToken &token : tokens) {
        seen = seen || (token.kind == Kind::Word && token.value.compare(word, Qt::CaseInsensitive) == 0);
        if (seen && token.kind == Kind::String)
            return token.value;
    }
    return {};
}

// SQL Server ends its default folders with a separator.
Cell Folder(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(folder) + u'/');
}

} // namespace

std::optional<WorkReply> AnswerQuery(const QString &batch, const ServerState &state)
{
    const QList<SqlToken> tokens = SqlLexer::tokenize(batch);
    if (!HasWord(tokens.mid(0, 1), u"SELECT"))
        return std::nullopt;
    const Behaviour behaviour = state.behaviour();
    using Type = Column::Type;
    WorkReply reply;
    if (HasWord(tokens, u"dm_os_volume_stats")) {
        // Reading it takes VIEW SERVER STATE.
        if (behaviour.volumeStatsDenied)
            return WorkReply{
                {},
                {},
                {},
                {{297, 1, kErrorSeverity, u"The user does not have permission to perform this action."_s}},
                true};
        reply.columns = {{u"volume_mount_point"_s, Type::Text},
                         {u"available_bytes"_s, Type::BigInt},
                         {u"total_bytes"_s, Type::BigInt}};
        reply.rows = {{u"C:\\"_s, behaviour.volumeFreeBytes, qint64(1) << 41}};
        return reply;
    }
    if (HasWord(tokens, u"SERVERPROPERTY")) {
        reply.columns = {{QString(), Type::Text}, {QString(), Type::Text}};
        reply.rows = {{Folder(behaviour.dataFolder), Folder(behaviour.dataFolder)}};
        return reply;
    }
    if (HasWord(tokens, u"DB_ID")) {
        const QString name = StringAfter(tokens, u"DB_ID");
        const QStringList databases = state.databases();
        const qsizetype index = databases.indexOf(state.findDatabase(name).value_or(QString()));
        reply.columns = {{QString(), Type::Int}};
        reply.rows = {{index < 0 ? Cell() : Cell(int(index + 1))}};
        return reply;
    }
    return std::nullopt;
}

} // namespace tdstest
