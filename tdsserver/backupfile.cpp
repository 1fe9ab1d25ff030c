#include "backupfile.h"

#include "backupmarker.h"

#include <QCryptographicHash>

namespace tdstest {

namespace {

const QByteArray Signature = QByteArrayLiteral("TDSTEST BACKUP\n");

QByteArray checksumLine(const QByteArray &body)
{
    return "checksum: " + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '\n';
}

QByteArray markerLine()
{
    return QByteArray(BackupCompleteMarker.data(), BackupCompleteMarker.size()) + '\n';
}

} // namespace

QByteArray backupHeader(const QString &database)
{
    return Signature + "database: " + database.toUtf8() + '\n';
}

QByteArray backupTrailer(const QByteArray &body)
{
    return checksumLine(body) + markerLine();
}

bool isWholeBackup(const QByteArray &contents)
{
    if (!contents.startsWith(Signature) || !contents.endsWith(markerLine()))
        return false;
    const QByteArray sealed = contents.chopped(markerLine().size());
    const qsizetype checksumStart = sealed.lastIndexOf('\n', sealed.size() - 2) + 1;
    return sealed.mid(checksumStart) == checksumLine(sealed.left(checksumStart));
}

} // namespace tdstest
