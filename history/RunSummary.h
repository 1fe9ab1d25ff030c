#pragma once

#include <QDateTime>
#include <QMetaType>

// The history at a glance: whether backups have been working lately.
struct RunSummary {
    QDateTime lastSuccess; // when the last successful run ended; invalid when none has
    int successes = 0;     // in the last 7 days
    int failures = 0;      // in the last 7 days
    // "SON İKİNCİ KOPYA": when the last run whose second copy was made ended; invalid when none was.
    QDateTime lastSecondCopy = {};
    bool secondCopyAsked = false; // some run was to make a second copy

    friend bool operator==(const RunSummary &, const RunSummary &) = default;
};

Q_DECLARE_METATYPE(RunSummary)
