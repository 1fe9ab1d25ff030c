#pragma once

#include "backup/BackupFolderListing.h"
#include "backup/OwnBackups.h"

#include <QDateTime>
#include <QStringList>

// Why a name stays that retention would have removed, as a line for the run history. The name is empty
// when the line speaks of the whole folder.
struct RetentionRefusal {
    QString name;
    QString reason;
};

struct RetentionPlan {
    QStringList remove;
    QList<RetentionRefusal> refusals;
};

// The backups newest first: those `newestFirst` names (names, or paths that end in them) in its order, then
// the others by their last write.
QList<OwnBackup> InRunOrder(QList<OwnBackup> backups, const QStringList &newestFirst);

// However few runs the days to keep cover, this many backups stay.
inline constexpr int kMinBackupsKept = 3;

// "ESKİ YEDEKLERİ SAKLA: N GÜN", 0 keeping all: the database's own backups (OwnBackups) whose name is dated
// more than keepDays days before now. Never one of the newest max(N, 3) backups, never a link or a folder,
// never a name dated after now.
//
// "Newest" is the order the runs happened in, not the dates a clock wrote into the names: `newestFirst`
// names the files of the successful runs, this run's first (names, or paths that end in them); backups it
// does not name come after those, the last written first. Nothing at all when this run's file is not
// among the entries: the folder seen here is then not the one the server writes into.
RetentionPlan PlanRetention(const QList<FolderEntry> &entries, const QString &database, const QDateTime &now,
                            int keepDays, const QStringList &newestFirst);
