#pragma once

#include "backup/BackupFolderListing.h"
#include "backup/CopyAndCheck.h"

#include <QDateTime>
#include <QStringList>

// A backup of the first folder, and the name of its copy in the second; empty while it has none.
struct CopyPlanEntry {
    QString name;
    QString copyName;
};

// The database's backups that belong in the second folder, newest first as the runs happened
// (`newestFirst` as PlanRetention takes it): this run's always, older ones while their name's date lies
// within `keepDays` of now (all of them for 0). A backup has its copy when the second folder holds a
// regular file of its name, or of its name with "-2", "-3" ..., of the same size.
QList<CopyPlanEntry> PlanSecondCopies(const QList<FolderEntry> &backups, const QList<FolderEntry> &copies,
                                      const QString &database, const QDateTime &now, int keepDays,
                                      const QStringList &newestFirst);

struct SecondCopyRequest {
    QString backupFolder; // the first folder, as this machine sees it
    QString copyFolder;   // "İKİNCİ KOPYA YERİ"
    QString database;
    QDateTime now;
    int keepDays = 0; // "SAKLA: N GÜN" of the second folder; 0 keeps all
    QStringList newestFirst;
    bool clockDoubted = false;
};

struct SecondCopyReport {
    QStringList copied; // the copies made this time, as paths
    QStringList lines;  // each copy, and each old copy removed or kept and why, for the history
    // "İKİNCİ KOPYA YAPILAMADI: ..." with what to do; empty when every copy the plan asked for was made.
    QString problem;
    qint64 bytes = 0;
    qint64 elapsedMs = 0;
};

// Copies and checks (CopyAndCheck) what PlanSecondCopies names, newest first, stopping at the first
// failure; then, only when every copy in the plan is there and checked and the clock is trusted, removes
// old copies from the second folder by the first folder's rules (ApplyRetention). The first folder is only
// read. Reads and writes whole files: call it on the backup worker.
SecondCopyReport MakeSecondCopies(const SecondCopyRequest &request, const CopyHooks &hooks = {});
