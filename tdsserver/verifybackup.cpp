#include "verifybackup.h"

#include "backupfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr quint8 OpenToRead = 2;

QList<ServerMessage> cannotOpen(const QString &path, QStringView osError)
{
    return {cannotOpenDevice(path, osError, OpenToRead), verifyTerminated()};
}

} // namespace

QList<ServerMessage> verifyBackup(const QString &path)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return cannotOpen(path, PathNotFound);
    if (!info.exists())
        return cannotOpen(path, FileNotFound);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return cannotOpen(path, AccessDenied);
    if (!isWholeBackup(file.readAll())) {
        const QString text =
            u"The media family on device '%1' is incorrectly formed. SQL Server cannot process this media family."_s;
        return {{3241, 0, ErrorSeverity, text.arg(path)}, verifyTerminated()};
    }
    return {{3262, 1, HighestInfoSeverity, u"The backup set on file 1 is valid."_s}};
}

} // namespace tdstest
