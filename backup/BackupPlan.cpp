#include "backup/BackupPlan.h"

namespace {

bool UnfitForFileName(QChar c)
{
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || kForbidden.contains(c);
}

} // namespace

QString BackupFileName(const QString &database, const QDateTime &time)
{
    QString name = database;
    for (QChar &c : name) {
        if (UnfitForFileName(c))
            c = u'_';
    }
    return time.toString(QStringLiteral("yyyyMMddHHmmss")) + u'-' + name + QStringLiteral(".bak");
}

QString ServerFileName(const QString &path)
{
    return path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

QString BackupFolder(const QString &folder)
{
    const QString trimmed = folder.trimmed();
    if (trimmed.isEmpty() || trimmed.endsWith(u'/') || trimmed.endsWith(u'\\'))
        return trimmed;
    // A Windows server wants "\"; a folder written with "/" (or mixed) is taken as the server's own form.
    const bool windowsStyle = trimmed.contains(u'\\') && !trimmed.contains(u'/');
    return trimmed + (windowsStyle ? u'\\' : u'/');
}

QString QuoteIdentifier(const QString &name)
{
    QString escaped = name;
    return u'[' + escaped.replace(u']', QStringLiteral("]]")) + u']';
}

QString QuoteUnicodeLiteral(const QString &text)
{
    QString escaped = text;
    return QStringLiteral("N'") + escaped.replace(u'\'', QStringLiteral("''")) + u'\'';
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
        plan.fileName = stem + u'-' + QString::number(suffix) + QStringLiteral(".bak");
    plan.filePath = folderPath + plan.fileName;
    // STATS makes the server report its progress as it goes; CHECKSUM lets a verification check the pages.
    plan.statement = QStringLiteral("BACKUP DATABASE ") + QuoteIdentifier(database.trimmed()) +
                     QStringLiteral(" TO DISK=") + QuoteUnicodeLiteral(plan.filePath) +
                     (verify ? QStringLiteral("  WITH FORMAT, NO_COMPRESSION, CHECKSUM, STATS = 10")
                             : QStringLiteral("  WITH FORMAT, NO_COMPRESSION, STATS = 10"));
    plan.verifyStatement = QStringLiteral("RESTORE VERIFYONLY FROM DISK = ") +
                           QuoteUnicodeLiteral(plan.filePath) + QStringLiteral(" WITH CHECKSUM");
    return plan;
}
