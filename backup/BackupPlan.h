#pragma once

#include "backup/ConnectionValues.h"

#include <QDateTime>
#include <QString>

// What one run sends to the server: the backup file's name and the statement that makes the server write it.
struct BackupPlan {
    QString fileName;  // yyyyMMddHHmmss-<database>.bak
    QString filePath;  // folder + file name, as the server will see it
    QString statement; // BACKUP DATABASE ... TO DISK=N'...'  WITH FORMAT, NO_COMPRESSION
};

QString BackupFileName(const QString &database, const QDateTime &time);

// The folder trimmed, with a separator at its end when it has none.
QString BackupFolder(const QString &folder);

QString QuoteIdentifier(const QString &name);
QString QuoteUnicodeLiteral(const QString &text);

// The statement carries WITH FORMAT, which overwrites a file of the same name: a run within the same second
// as the one that wrote `previousFilePath` gets "-2" (then "-3" ...) before ".bak" instead.
BackupPlan PlanBackup(const QString &database, const QString &folder, const QDateTime &time,
                      const QString &previousFilePath = {});
