#include "backupfile.h"

#include "backupmarker.h"

#include <QCryptographicHash>

namespace tdstest {

namespace {

const QByteArray kSignature = QByteArrayLiteral("TDSTEST BACKUP\n");

QByteArray ChecksumLine(const QByteArray &body)
{
    return "checksum: " + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '\n';
}

QByteArray MarkerLine()
{
    return QByteArray(kBackupCompleteMarker.data(), kBackupCompleteMarker.size()) + '\n';
}

} // namespace

QByteArray BackupHeader(const QString &database)
{
    return kSignature + "database: " + database.toUtf8() + '\n';
}

QByteArray BackupTrailer(const QByteArray &body)
{
    return ChecksumLine(body) + MarkerLine();
}

bool IsWholeBackup(const QByteArray &contents)
{
    if (!contents.startsWith(kSignature) || !contents.endsWith(MarkerLine()))
        return false;
    const QByteArray sealed = contents.chopped(MarkerLine().size());
    const qsizetype checksumStart = sealed.lastIndexOf('\n', sealed.size() - 2) + 1;
    return sealed.mid(checksumStart) == ChecksumLine(sealed.left(checksumStart));
}

} // namespace tdstest
