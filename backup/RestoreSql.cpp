#include "backup/RestoreSql.h"

#include "backup/BackupPlan.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCheckSummary = 8989;
constexpr int kTableSummary = 8990;
constexpr int kRepairLevel = 8958;
constexpr qsizetype kFirstErrorsKept = 5;

// The numbers DBCC reports damage in: allocation and page errors (25xx), table and consistency errors
// (89xx), and cross-checks between system tables (79xx).
bool IsDamageNumber(int number)
{
    return (number >= 2500 && number < 2600) || (number >= 7900 && number < 8000) ||
           (number >= 8900 && number < 9000);
}

// The server's own text, without the driver's bracketed prefixes.
QString ServerText(const QString &text)
{
    return text.section(u']', -1).trimmed();
}

} // namespace

QString ScratchDatabaseName(const QString &database)
{
    return database + u"_YEDEK_DENEMESI"_s;
}

qint64 NeededBytes(const QList<BackupFileEntry> &files)
{
    qint64 total = 0;
    for (const BackupFileEntry &file : files)
        total += file.bytes;
    return total + total / 5;
}

QString ScratchFilePath(const QString &scratch, const BackupFileEntry &file, int index,
                        const QString &dataFolder, const QString &logFolder)
{
    const QString extension = file.isLog ? u".ldf"_s : (index == 0 ? u".mdf"_s : u".ndf"_s);
    return BackupFolder(file.isLog ? logFolder : dataFolder) +
           u"%1_%2%3"_s.arg(scratch).arg(index + 1).arg(extension);
}

QString FileListStatement(const QString &backupPath)
{
    return u"RESTORE FILELISTONLY FROM DISK = %1"_s.arg(QuoteUnicodeLiteral(backupPath));
}

QString RestoreStatement(const QString &scratch, const QString &backupPath,
                         const QList<BackupFileEntry> &files, const QString &dataFolder,
                         const QString &logFolder)
{
    QStringList moves;
    for (qsizetype i = 0; i < files.size(); ++i)
        moves << u"MOVE %1 TO %2"_s.arg(
            QuoteUnicodeLiteral(files.at(i).logicalName),
            QuoteUnicodeLiteral(ScratchFilePath(scratch, files.at(i), int(i), dataFolder, logFolder)));
    return u"RESTORE DATABASE %1 FROM DISK = %2 WITH %3, STATS = 10, RECOVERY"_s.arg(
        QuoteIdentifier(scratch), QuoteUnicodeLiteral(backupPath), moves.join(u", "_s));
}

QString CheckStatement(const QString &scratch)
{
    return u"DBCC CHECKDB (%1) WITH NO_INFOMSGS, ALL_ERRORMSGS"_s.arg(QuoteIdentifier(scratch));
}

QString DropStatement(const QString &scratch)
{
    return u"DROP DATABASE %1"_s.arg(QuoteIdentifier(scratch));
}

CheckFindings ReadCheckFindings(const ServerMessages &messages)
{
    static const QRegularExpression kCounts(
        u"found (\\d+) allocation errors and (\\d+) consistency errors"_s);
    CheckFindings findings;
    for (const ServerMessage &message : messages) {
        if (message.number == kCheckSummary) {
            const QRegularExpressionMatch match = kCounts.match(message.text);
            if (match.hasMatch()) {
                findings.summarised = true;
                findings.allocationErrors = match.captured(1).toInt();
                findings.consistencyErrors = match.captured(2).toInt();
            }
        } else if (message.isError() && message.number != kTableSummary && message.number != kRepairLevel) {
            findings.damageSeen = findings.damageSeen || IsDamageNumber(message.number);
            if (findings.firstErrors.size() < kFirstErrorsKept)
                findings.firstErrors << u"%1: %2"_s.arg(message.number).arg(ServerText(message.text));
        }
    }
    return findings;
}
