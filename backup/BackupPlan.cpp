#include "backup/BackupPlan.h"

#include <QRegularExpression>

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

namespace {

// The first free name after the previous file's: the same name gets "-2", "-2" gets "-3", and so on.
QString NameAfter(const QString &fileName, const QString &previousFileName)
{
    const QString stem = fileName.chopped(4); // without ".bak"
    if (previousFileName == fileName)
        return stem + QStringLiteral("-2.bak");
    static const QRegularExpression numbered(QStringLiteral("^-(\\d+)\\.bak$"));
    if (!previousFileName.startsWith(stem))
        return fileName;
    const QRegularExpressionMatch match = numbered.match(QStringView(previousFileName).sliced(stem.size()));
    return match.hasMatch()
               ? stem + u'-' + QString::number(match.captured(1).toInt() + 1) + QStringLiteral(".bak")
               : fileName;
}

} // namespace

BackupPlan PlanBackup(const QString &database, const QString &folder, const QDateTime &time,
                      const QString &previousFilePath)
{
    BackupPlan plan;
    const QString folderPath = BackupFolder(folder);
    plan.fileName = BackupFileName(database, time);
    if (!previousFilePath.isEmpty() && previousFilePath.startsWith(folderPath))
        plan.fileName = NameAfter(plan.fileName, previousFilePath.sliced(folderPath.size()));
    plan.filePath = folderPath + plan.fileName;
    plan.statement = QStringLiteral("BACKUP DATABASE ") + QuoteIdentifier(database.trimmed()) +
                     QStringLiteral(" TO DISK=") + QuoteUnicodeLiteral(plan.filePath) +
                     QStringLiteral("  WITH FORMAT, NO_COMPRESSION ");
    return plan;
}
