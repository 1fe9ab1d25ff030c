#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One backup run as the history keeps it. The cause is the scheduler's name for it ("start", "daily hour",
// ...) as text, so the history stays below the schedule and an older file still reads after a cause is added.
struct RunRecord {
    qint64 id = 0; // given by the history when the run is appended
    QString cause;
    // Kept with their offset from UTC, so a run is shown at the local time it ran at.
    QDateTime started;
    QDateTime ended;
    bool ok = false;
    QString file;          // as the server sees it; empty when no statement was sent
    qint64 sizeBytes = -1; // -1 when unknown
    QString reason;        // the Turkish reason with the server's text; empty on success
    QString verification;  // empty when no check was asked for
    QStringList removed;   // the old backups retention removed, and its refusals, one line each
    // The elapsed clock (time since boot, never set back) at the start and the end, and which boot it
    // counted from: a run's true length, and whether the wall clock moved more than time did.
    qint64 startedElapsedMs = -1; // -1 when unknown
    qint64 endedElapsedMs = -1;
    QString bootId;       // empty when unknown
    bool finished = true; // false from the run's start until its end is written
    // The wall clock disagreed with the runs before it: the times above may be far off, so they neither
    // age other rows out nor count as evidence against a later clock.
    bool clockSuspect = false;
    // The copy into "İKİNCİ KOPYA YERİ": empty when none was asked for, kSecondCopyDone, or why it failed;
    // with how long it took and how much it copied (-1 when unknown).
    QString secondCopy = {};
    qint64 secondCopyMs = -1;
    qint64 secondCopyBytes = -1;

    friend bool operator==(const RunRecord &, const RunRecord &) = default;
};

inline const QString kSecondCopyDone = QStringLiteral("yapıldı");

Q_DECLARE_METATYPE(RunRecord)
