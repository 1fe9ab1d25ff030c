#include "verifybackup.h"

#include "backupfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr quint8 kOpenToRead = 2;

QList<ServerMessage> CannotOpen(const QString &path, QStringView osError)
{
    return {CannotOpenDevice(path, osError, kOpenToRead), VerifyTerminated()};
}

} // namespace

QList<ServerMessage> VerifyBackup(const QString &path, bool readDenied)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return CannotOpen(path, kPathNotFound);
    if (!info.exists())
        return CannotOpen(path, kFileNotFound);
    QFile file(path);
    if (readDenied || info.isDir() || !file.open(QIODevice::ReadOnly))
        return CannotOpen(path, kAccessDenied);
    if (!IsWholeBackup(file.readAll())) {
        const QString text =
            u"The media family on device '%1' is incorrectly formed. SQL Server cannot process this media family."_s;
        return {{3241, 0, kErrorSeverity, text.arg(path)}, VerifyTerminated()};
    }
    return {{3262, 1, kHighestInfoSeverity, u"The backup set on file 1 is valid."_s}};
}

} // namespace tdstest
