#include "restorestatement.h"

#include "statementcursor.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

const QSet<QString> kFileListOptions = {u"FILE"_s,     u"PASSWORD"_s, u"MEDIANAME"_s, u"MEDIAPASSWORD"_s,
                                        u"NOUNLOAD"_s, u"UNLOAD"_s,   u"REWIND"_s,    u"NOREWIND"_s};

const QSet<QString> kRestoreOptions = {
    u"MOVE"_s,
    u"STATS"_s,
    u"RECOVERY"_s,
    u"NORECOVERY"_s,
    u"REPLACE"_s,
    u"CHECKSUM"_s,
    u"NO_CHECKSUM"_s,
    u"FILE"_s,
    u"NOUNLOAD"_s,
    u"UNLOAD"_s,
    u"REWIND"_s,
    u"NOREWIND"_s,
    u"CONTINUE_AFTER_ERROR"_s,
    u"STOP_ON_ERROR"_s,
};

const QSet<QString> kCheckOptions = {u"NO_INFOMSGS"_s, u"ALL_ERRORMSGS"_s,           u"PHYSICAL_ONLY"_s,
                                     u"DATA_PURITY"_s, u"EXTENDED_LOGICAL_CHECKS"_s, u"TABLOCK"_s};

OperandParse Operand(StatementCursor &cursor, bool parsed, const QString &operand)
{
    if (!parsed)
        return {std::nullopt, cursor.errors()};
    return {operand, {}};
}

} // namespace

WorkKind WorkKindOf(const QString &batch)
{
    StatementCursor cursor(batch);
    if (cursor.keyword(u"RESTORE")) {
        if (cursor.isWord(u"FILELISTONLY"))
            return WorkKind::FileList;
        return cursor.isWord(u"DATABASE") ? WorkKind::RestoreDatabase : WorkKind::Verify;
    }
    if (cursor.isWord(u"DBCC"))
        return WorkKind::CheckDatabase;
    if (cursor.keyword(u"DROP") && cursor.isWord(u"DATABASE"))
        return WorkKind::DropDatabase;
    return WorkKind::None;
}

OperandParse ParseFileList(const QString &batch)
{
    StatementCursor cursor(batch);
    QString path;
    const bool parsed =
        cursor.keyword(u"RESTORE") && cursor.keyword(u"FILELISTONLY") && cursor.keyword(u"FROM") &&
        cursor.keyword(u"DISK") && cursor.symbol(u'=') && cursor.path(&path) &&
        cursor.options(kFileListOptions, u"RESTORE", [](const QString &, const SqlToken *) {}) &&
        cursor.end();
    return Operand(cursor, parsed, path);
}

RestoreParse ParseRestoreDatabase(const QString &batch)
{
    StatementCursor cursor(batch);
    RestoreDatabaseStatement statement;
    const bool parsed = cursor.keyword(u"RESTORE") && cursor.keyword(u"DATABASE") &&
                        cursor.name(&statement.database) && cursor.keyword(u"FROM") &&
                        cursor.keyword(u"DISK") && cursor.symbol(u'=') && cursor.path(&statement.path) &&
                        cursor.options(kRestoreOptions, u"RESTORE",
                                       [&](const QString &option, const SqlToken *value) {
                                           if (option == u"STATS"_s)
                                               statement.stats = value ? value->value.toInt() : 10;
                                       }) &&
                        cursor.end();
    if (!parsed)
        return {std::nullopt, cursor.errors()};
    statement.moves = cursor.moves();
    return {statement, {}};
}

OperandParse ParseCheckDatabase(const QString &batch)
{
    StatementCursor cursor(batch);
    QString name;
    const bool parsed = cursor.keyword(u"DBCC") && cursor.keyword(u"CHECKDB") && cursor.symbol(u'(') &&
                        cursor.name(&name) && cursor.symbol(u')') &&
                        cursor.options(kCheckOptions, u"DBCC", [](const QString &, const SqlToken *) {}) &&
                        cursor.end();
    return Operand(cursor, parsed, name);
}

OperandParse ParseDropDatabase(const QString &batch)
{
    StatementCursor cursor(batch);
    QString name;
    const bool parsed =
        cursor.keyword(u"DROP") && cursor.keyword(u"DATABASE") && cursor.name(&name) && cursor.end();
    return Operand(cursor, parsed, name);
}

} // namespace tdstest
