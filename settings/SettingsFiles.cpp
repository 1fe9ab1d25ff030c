#include "settings/SettingsFiles.h"

#include <QDir>

namespace SettingsFiles {

QString ConnectionFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("KVZ.dll"));
}

QString BackupFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("yedeklemeayar.txt"));
}

} // namespace SettingsFiles
