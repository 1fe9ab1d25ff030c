#pragma once

#include "settings/Result.h"

#include <QString>

// The backup-settings file as stored, each value exactly as read.
struct BackupSettings {
    QString folder;
    // The stored folder is longer than a value can be: `folder` is only its beginning, never to be used.
    bool folderCut = false;
    QString dailyHour;
    QString interval;
    QString startAtLogin;
};

// One read of the file; a missing file gives empty values, an unreadable one a failure.
Result<BackupSettings> LoadBackupSettings(const QString &file);

// What "KAYDET" stores: the folder, the daily hour and the interval, in that order, in one write.
Outcome SaveSchedule(const BackupSettings &settings, const QString &file);

// The start-at-login choice, "1" or "0".
Outcome SaveStartAtLogin(bool on, const QString &file);
