#include "backup/BackupPlan.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

bool UnfitForFileName(QChar c)
{
    static const QString kForbidden = u"/\\:*?\"<>|"_s;
    return c.unicode() < 0x20 || c.unicode() == 0x7F || kForbidden.contains(c);
}

// "C:\Yedek", "C:/Yedek", "D:" or a share "\\SUNUCU\pay": wherever this program runs, the server runs on
// Windows.
bool IsWindowsFolder(const QString &folder)
{
    const bool drive = folder.size() >= 2 && folder.at(0).isLetter() && folder.at(0).unicode() < 0x80 &&
                       folder.at(1) == u':';
    return drive || folder.startsWith(u"\\\\"_s);
}

// Windows takes "/" too, but the path also names the file in the history and in the server's own
// records, and is compared by name: backslashes only, and one between the folder and the file.
QString WindowsFolder(const QString &folder)
{
    static const QRegularExpression kRepeated(u"\\\\{2,}"_s);
    const qsizetype shareMark = folder.startsWith(u"\\\\"_s) ? 2 : 0;
    QString rest = folder.mid(shareMark);
    rest.replace(u'/', u'\\').replace(kRepeated, u"\\"_s);
    if (!rest.endsWith(u'\\'))
        rest += u'\\';
    return folder.left(shareMark) + rest;
}

} // namespace

QString BackupFileName(const QString &database, const QDateTime &time)
{
    QString name = database;
    for (QChar &c : name) {
        if (UnfitForFileName(c))
            c = u'_';
    }
    return time.toString(u"yyyyMMddHHmmss"_s) + u'-' + name + u".bak"_s;
}

QString ServerFileName(const QString &path)
{
    return path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

QString BackupFolder(const QString &folder)
{
    const QString trimmed = folder.trimmed();
    if (IsWindowsFolder(trimmed))
        return WindowsFolder(trimmed);
    if (trimmed.isEmpty() || trimmed.endsWith(u'/') || trimmed.endsWith(u'\\'))
        return trimmed;
    // Without a drive or a share, a folder written with "\" alone is still a Windows server's.
    const bool windowsStyle = trimmed.contains(u'\\') && !trimmed.contains(u'/');
    return trimmed + (windowsStyle ? u'\\' : u'/');
}

QString QuoteIdentifier(const QString &name)
{
    QString escaped = name;
    return u'[' + escaped.replace(u']', u"]]"_s) + u']';
}

QString QuoteUnicodeLiteral(const QString &text)
{
    QString escaped = text;
    return u"N'"_s + escaped.replace(u'\'', u"''"_s) + u'\'';
}

BackupPlan PlanBackup(const QString &database, const QString &folder, const QDateTime &time,
                      const IsNameTaken &isTaken, bool verify)
{
    BackupPlan plan;
    const QString folderPath = BackupFolder(folder);
    const QString name = BackupFileName(database, time);
    plan.fileName = name;
    // WITH FORMAT overwrites a file of the same name: the repeated hour of autumn, a clock set back or two
    // runs in one second would each destroy a restore point.
    const QString stem = name.chopped(4); // without ".bak"
    for (int suffix = 2; isTaken && isTaken(folderPath + plan.fileName); ++suffix)
        plan.fileName = stem + u'-' + QString::number(suffix) + u".bak"_s;
    plan.filePath = folderPath + plan.fileName;
    // STATS makes the server report its progress as it goes; CHECKSUM lets a verification check the pages.
    plan.statement = u"BACKUP DATABASE "_s + QuoteIdentifier(database.trimmed()) + u" TO DISK="_s +
                     QuoteUnicodeLiteral(plan.filePath) +
                     (verify ? u"  WITH FORMAT, NO_COMPRESSION, CHECKSUM, STATS = 10"_s
                             : u"  WITH FORMAT, NO_COMPRESSION, STATS = 10"_s);
    plan.verifyStatement =
        u"RESTORE VERIFYONLY FROM DISK = "_s + QuoteUnicodeLiteral(plan.filePath) + u" WITH CHECKSUM"_s;
    return plan;
}
