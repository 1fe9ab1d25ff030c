#pragma once

#include "backup/BackupPlan.h"
#include "backup/BackupResult.h"
#include "settings/ConnectionValues.h"

#include <QDateTime>
#include <QString>

inline constexpr int kLoginTimeoutSeconds = 15;

// One full backup of the values' database into `folder` (as the server sees it): the server writes the
// file, named after `time` and never a name `isTaken` reports. Blocks until the server has finished;
// run it off the user-interface thread.
BackupResult RunBackup(const ConnectionValues &values, const QString &folder, const QDateTime &time,
                       const IsNameTaken &isTaken = {}, int loginTimeoutSeconds = kLoginTimeoutSeconds);
