#include "settings/SettingsFiles.h"

#include <QDir>

namespace SettingsFiles {

QString connectionFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("KVZ.dll"));
}

QString backupFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("yedeklemeayar.txt"));
}

} // namespace SettingsFiles
