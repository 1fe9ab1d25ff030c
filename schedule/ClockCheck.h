#pragma once

#include "backup/OwnBackups.h"
#include "history/RunRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Both clocks read at one moment.
struct ClockReading {
    QDateTime wall;
    qint64 elapsedMs = -1; // time since boot; -1 when unknown
    QString bootId;        // empty when unknown
};

// What the earlier runs and the backups they left say about the wall clock. Whatever was dated while the
// clock was already in doubt is left out: it would hold a clock set right again for wrong.
struct ClockEvidence {
    QDateTime newestStamp; // the latest date in a backup's name, this run's own left out
    QDateTime latestRun;   // the latest start or end of a run
    ClockReading lastEnd;  // the end of the last finished run the clock was trusted for
    // The end of the last finished run when that run doubted a clock running ahead of everything else:
    // until the clock goes back before it, it has not been set right.
    QDateTime doubtedAhead;
};

// `newestFirst`: the history's latest runs; `backups`: the database's backups in the folder; `ownFile`:
// this run's file (a name, or a path that ends in it), empty when it wrote none.
ClockEvidence GatherClockEvidence(const QList<RunRecord> &newestFirst, const QList<OwnBackup> &backups,
                                  const QString &ownFile);

// Why the wall clock cannot be trusted to age backups and history out, as the user reads it
// ("BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: ..." with the times); nothing when it looks right. It looks wrong
// when it is earlier than a backup's name or a run, when within one boot it ran more than a day ahead
// of elapsed time, or when it is still as far ahead as when last doubted.
std::optional<QString> ClockDoubt(const ClockReading &now, const ClockEvidence &evidence);
