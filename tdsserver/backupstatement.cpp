#include "backupstatement.h"

#include "statementcursor.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr int kDefaultStatsPercent = 10;

const QSet<QString> kBackupOptions = {
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

} // namespace

bool BackupStatementParser::isBackup(const QString &batch)
{
    return StatementCursor(batch).isWord(u"BACKUP");
}

BackupParse BackupStatementParser::parse(const QString &batch)
{
    StatementCursor cursor(batch);
    BackupStatement statement;
    const auto take = [&statement](const QString &option, const SqlToken *value) {
        if (option == u"STATS"_s)
            statement.statsPercent = value ? qBound(0, value->value.toInt(), 100) : kDefaultStatsPercent;
    };
    const bool parsed = cursor.keyword(u"BACKUP") && cursor.keyword(u"DATABASE") &&
                        cursor.name(&statement.database) && cursor.keyword(u"TO") &&
                        cursor.keyword(u"DISK") && cursor.symbol(u'=') && cursor.path(&statement.path) &&
                        cursor.options(kBackupOptions, u"BACKUP", take) && cursor.end();
    if (!parsed)
        return {std::nullopt, cursor.errors()};
    return {statement, {}};
}

} // namespace tdstest
