#pragma once

#include "backup/BackupFolderListing.h"

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

// "ESKİ YEDEKLERİ SAKLA: N GÜN", 0 keeping all: the database's own backups (OwnBackups) whose name is dated
// more than keepDays days before now. Never the newest successful backup (a name, or a path that ends in
// it), never a link or a folder, never a name dated after now. Nothing at all when that newest backup is
// not among the entries: the folder seen here is then not the one the server writes into.
RetentionPlan PlanRetention(const QList<FolderEntry> &entries, const QString &database, const QDateTime &now,
                            int keepDays, const QString &newestSuccessfulFile);
