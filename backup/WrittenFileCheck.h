#pragma once

#include "backup/BackupResult.h"
#include "settings/Result.h"

#include <QList>
#include <optional>

// How many of the database's last successful backups a new file is measured against.
inline constexpr int kComparedBackups = 5;

// A server, or a share between it and the disk, can report a backup done on a full disk and leave an empty
// or cut-short file. `sizeBytes` is the new file's size as this machine sees it, empty when the file is not
// there; `recentSizes` those of the last successful backups. A file that is missing, empty or smaller than a
// tenth of the smallest of them is no backup.
Outcome CheckWrittenSize(std::optional<qint64> sizeBytes, const QList<qint64> &recentSizes);

// Where the folder of the run's file can be seen from here: the file's real size replaces the server's
// count, and a file CheckWrittenSize refuses makes the run a failure. Reads the disk: call it on the
// backup worker.
void CheckWrittenFile(BackupResult &result, const QList<qint64> &recentSizes);
