#include "verifystatement.h"

#include "statementcursor.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

const QSet<QString> kVerifyOptions = {
    u"CHECKSUM"_s,      u"NO_CHECKSUM"_s,   u"CONTINUE_AFTER_ERROR"_s,
    u"STOP_ON_ERROR"_s, u"FILE"_s,          u"LOADHISTORY"_s,
    u"MEDIANAME"_s,     u"MEDIAPASSWORD"_s, u"PASSWORD"_s,
    u"REWIND"_s,        u"NOREWIND"_s,      u"UNLOAD"_s,
    u"NOUNLOAD"_s,      u"STATS"_s,
};

} // namespace

bool IsRestore(const QString &batch)
{
    return StatementCursor(batch).isWord(u"RESTORE");
}

VerifyParse ParseVerify(const QString &batch)
{
    StatementCursor cursor(batch);
    QString path;
    const bool parsed =
        cursor.keyword(u"RESTORE") && cursor.keyword(u"VERIFYONLY") && cursor.keyword(u"FROM") &&
        cursor.keyword(u"DISK") && cursor.symbol(u'=') && cursor.path(&path) &&
        cursor.options(kVerifyOptions, u"RESTORE", [](const QString &, const SqlToken *) {}) && cursor.end();
    if (!parsed)
        return {std::nullopt, cursor.errors()};
    return {path, {}};
}

} // namespace tdstest
