#pragma once

#include "backup/RunBackup.h"
#include "backup/ServerMessage.h"
#include "settings/ConnectionValues.h"

#include <QString>
#include <QStringList>
#include <functional>

class RunCancel;

// How a restore test of a backup ended.
enum class RestoreVerdict {
    Clean,       // restored, and DBCC CHECKDB found nothing
    Damaged,     // restored, and DBCC CHECKDB found allocation or consistency errors
    NotRestored, // the server could not restore the backup
    Skipped,     // not tried: no room, no folder to put the files in, the connection failed
    Refused,     // a database of the scratch name exists that is not this program's: left alone
};

struct RestoreTestResult {
    RestoreVerdict verdict = RestoreVerdict::Skipped;
    QString scratchName;
    // The scratch database was created by this test (or a leftover of ours found), so it had to go.
    bool created = false;
    // It is still there: the drop failed. The history keeps it as ours, and the next start drops it.
    bool left = false;
    int allocationErrors = 0;
    int consistencyErrors = 0;
    QStringList firstErrors;
    // In Turkish: what happened and what to do; empty when the test was clean and nothing was left.
    QString reason;
    ServerMessages messages;
};

struct RestoreTestOptions {
    // The history records a database of the scratch name as left by this program: it may be dropped.
    bool scratchIsOurs = false;
    // The restore's percent, as the server reports it, on the thread that runs the test.
    std::function<void(int percent)> progress = {};
    int loginTimeoutSeconds = kLoginTimeoutSeconds;
    RunCancel *cancel = nullptr;
    // Called just before the scratch database is made (or our leftover of it dropped): from then on the
    // history must know it as this program's, even if the program dies half way.
    std::function<void()> beforeCreate = {};
};

// Restores `backupPath` (as the server sees it) under the scratch name on one connection, checks it with
// DBCC CHECKDB and drops it, whatever happened in between. Blocks: run it off the user-interface thread.
RestoreTestResult RunRestoreTest(const ConnectionValues &values, const QString &backupPath,
                                 const RestoreTestOptions &options = {});

// Drops the scratch database a test before could not, which the history records as ours; the same result
// as a test's, `left` telling whether it is still there.
RestoreTestResult DropLeftoverScratch(const ConnectionValues &values,
                                      int loginTimeoutSeconds = kLoginTimeoutSeconds);
