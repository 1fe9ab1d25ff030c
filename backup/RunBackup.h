#pragma once

#include "backup/BackupPlan.h"
#include "backup/BackupResult.h"
#include "settings/ConnectionValues.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class RunCancel;

inline constexpr int kLoginTimeoutSeconds = 15;

struct RunOptions {
    // RESTORE VERIFYONLY on the same connection after the backup: a file that cannot be read back makes
    // the run a failure.
    bool verify = false;
    // The server's percent as it reports it, on the thread that runs the backup.
    std::function<void(int percent)> progress = {};
    int loginTimeoutSeconds = kLoginTimeoutSeconds;
    // Stops the run from another thread; it must outlive the run.
    RunCancel *cancel = nullptr;
};

// One full backup of the values' database into `folder` (as the server sees it): the server writes the
// file, named after `time` and never a name `isTaken` reports. Blocks until the server has finished;
// run it off the user-interface thread.
BackupResult RunBackup(const ConnectionValues &values, const QString &folder, const QDateTime &time,
                       const IsNameTaken &isTaken = {}, const RunOptions &options = {});

// "n percent processed." (3211), as the server reports a backup's progress.
std::optional<int> ProgressPercent(const ServerMessage &message);
