#pragma once

#include "backup/ServerMessage.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

enum class Verification { NotAsked, Verified, Failed };

// What the copy into "İKİNCİ KOPYA YERİ" did after the run; nothing was asked while that option is empty.
struct SecondCopyResult {
    bool asked = false;
    QString problem = {}; // "İKİNCİ KOPYA YAPILAMADI: ..." with what to do; empty when every copy was made
    qint64 bytes = 0;     // copied this run, catch-up included
    qint64 elapsedMs = 0;
};

// What one run did, for the window to show: the file written, or why nothing was written.
// The run's report, not an error type: a failed run is shown and recorded like a good one, with all it did.
struct BackupResult {
    bool ok = false;
    QString filePath; // the file written; empty when nothing was
    QString reason;   // the first error, without the driver's "[...]" prefixes
    ServerMessages messages;
    QString plannedPath = {}; // the file the statement named, whatever the outcome; empty when none was sent
    qint64 sizeBytes = -1;    // from the server's count of pages; -1 when it gave none
    Verification verification = Verification::NotAsked;
    QStringList removed = {}; // old backups cleared after the run, and why others stayed, one line each
    QString spaceText = {};   // how long the backup disk lasts ("YER: 12 GÜN YETER"); empty when unknown
    bool spaceLow = false;    // under 3 days, or less room than two backups
    // "BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR ..." with the times, when the wall clock disagrees with the runs
    // before it: nothing was removed. Empty when the clock looks right.
    QString clockWarning = {};
    // Old backups that should have gone could not be removed: what happened and what to do. Empty when none.
    QString retentionProblem = {};
    SecondCopyResult secondCopy = {};
};

Q_DECLARE_METATYPE(BackupResult)

inline constexpr int kLoginFailed = 18456;

// Why an operation failed: the error that tells the user most (or, with no error among them, the last
// message), without the driver's "[vendor][component]" prefixes.
QString FailureReason(const ServerMessages &messages);
