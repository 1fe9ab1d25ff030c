#pragma once

#include "backup/BackupResult.h"

#include <QDateTime>
#include <QString>
#include <functional>

inline constexpr int kLoginTimeoutSeconds = 15;

// One full backup with the values of the settings files in the program folder: the server writes the file.
// `previousFilePath`, the file of the last good run, is never overwritten. Blocks until the server has
// finished; run it off the user-interface thread.
BackupResult RunBackup(const QString &programFolder, const std::function<QDateTime()> &now,
                       int loginTimeoutSeconds = kLoginTimeoutSeconds, const QString &previousFilePath = {});
