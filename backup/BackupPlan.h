#pragma once

#include "settings/ConnectionValues.h"

#include <QDateTime>
#include <QString>
#include <functional>

// What one run sends to the server: the backup file's name and the statement that makes the server write it.
struct BackupPlan {
    QString fileName;        // yyyyMMddHHmmss-<database>.bak
    QString filePath;        // folder + file name, as the server will see it
    QString statement;       // BACKUP DATABASE ... TO DISK=N'...'  WITH FORMAT, NO_COMPRESSION, STATS = 10
    QString verifyStatement; // RESTORE VERIFYONLY FROM DISK = N'...' WITH CHECKSUM
};

QString BackupFileName(const QString &database, const QDateTime &time);

// The file name at the end of a path as the server writes it: a Windows path when the server runs there,
// whichever separator this machine uses.
QString ServerFileName(const QString &path);

// The folder as the server is to see it, trimmed, with a separator at its end: a Windows folder (a drive
// or a share, whatever this machine is) with backslashes only and none repeated.
QString BackupFolder(const QString &folder);

QString QuoteIdentifier(const QString &name);
QString QuoteUnicodeLiteral(const QString &text);

// Whether a backup file path (folder + name) is already taken, by a file or by an earlier run.
using IsNameTaken = std::function<bool(const QString &filePath)>;

// A name that `isTaken` reports gets "-2" (then "-3" ...) before ".bak". With `verify` the server also
// writes page checksums, for the verification that follows.
BackupPlan PlanBackup(const QString &database, const QString &folder, const QDateTime &time,
                      const IsNameTaken &isTaken = {}, bool verify = false);
