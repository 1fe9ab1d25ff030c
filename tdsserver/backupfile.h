#pragma once

#include <QByteArray>
#include <QString>

namespace tdstest {

// The first bytes of every backup file this server writes.
QByteArray BackupHeader(const QString &database);

// What closes a backup file: a checksum of everything before it, then the completion marker.
QByteArray BackupTrailer(const QByteArray &body);

// Whether a file's bytes are a backup as this server completed it: header, untouched body, trailer.
bool IsWholeBackup(const QByteArray &contents);

} // namespace tdstest
