#pragma once

#include "backup/BackupFolderListing.h"

#include <QDateTime>

// A name this program gave one of the database's backups, and the time written into it.
struct OwnBackup {
    FolderEntry entry;
    QDateTime stamp;
};

// The entries named as this program names the database's backups: yyyyMMddHHmmss-<database>.bak, or the
// same with -2, -3 ... before ".bak", the database written as BackupFileName writes it. Letter case counts,
// and a stamp that is no real time (month 13) makes the name someone else's.
QList<OwnBackup> OwnBackups(const QList<FolderEntry> &entries, const QString &database);
