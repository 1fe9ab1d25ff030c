#include "settings/SettingsFiles.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace SettingsFiles {

QString ConnectionFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(u"KVZ.dll"_s);
}

QString BackupFile(const QString &programFolder)
{
    return QDir(programFolder).filePath(u"yedeklemeayar.txt"_s);
}

} // namespace SettingsFiles
