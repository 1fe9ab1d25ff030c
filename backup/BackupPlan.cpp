#include "backup/BackupPlan.h"

namespace {

bool unfitForFileName(QChar c)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c);
}

} // namespace

QString BackupFileName(const QString &database, const QDateTime &time)
{
    QString name = database;
    for (QChar &c : name) {
        if (unfitForFileName(c))
            c = u'_';
    }
    return time.toString(QStringLiteral("yyyyMMddHHmmss")) + u'-' + name + QStringLiteral(".bak");
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

BackupPlan PlanBackup(const QString &database, const QString &folder, const QDateTime &time)
{
    BackupPlan plan;
    plan.fileName = BackupFileName(database, time);
    plan.filePath = BackupFolder(folder) + plan.fileName;
    plan.statement = QStringLiteral("BACKUP DATABASE ") + QuoteIdentifier(database.trimmed()) +
                     QStringLiteral(" TO DISK=") + QuoteUnicodeLiteral(plan.filePath) +
                     QStringLiteral("  WITH FORMAT, NO_COMPRESSION ");
    return plan;
}
