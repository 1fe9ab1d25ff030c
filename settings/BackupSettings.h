#pragma once

#include "settings/Result.h"

#include <QString>
#include <optional>

// The backup-settings file as stored, each value exactly as read.
struct BackupSettings {
    QString folder;
    // The stored folder is longer than a value can be: `folder` is only its beginning, never to be used.
    bool folderCut = false;
    QString dailyHour;
    QString interval;
    QString startAtLogin;
    QString verify;   // VerifyOf reads it; empty: off
    QString keepDays; // days to keep this database's backups; empty or "0": all
    // "İKİNCİ KOPYA YERİ": the folder each backup is copied into as well; empty: no second copy.
    QString secondFolder = {};
    QString secondKeepDays = {};  // as keepDays, for the copies there
    QString restoreTestDays = {}; // RestoreTestDaysOf reads it; empty or "0": no restore tests
};

inline constexpr int kMaxKeepDays = 3650;

// The days to keep: 0 for an empty text; nothing for a text that is no whole number from 0 to 3650.
std::optional<int> KeepDaysOf(const QString &text);

inline constexpr int kMaxRestoreTestDays = 365;

// The days between restore tests: 0 (off) for an empty text; nothing for a text that is no whole number
// from 0 to 365, judged as the days to keep are.
std::optional<int> RestoreTestDaysOf(const QString &text);

// Whether each backup is read back by the server: 1/0, evet/hayır, açık/kapalı, true/false, on/off, yes/no
// in any letter case (Turkish rules), blanks around ignored; false for an empty text; nothing for any other.
std::optional<bool> VerifyOf(const QString &text);

// One read of the file; a missing file gives empty values, an unreadable one a failure.
Result<BackupSettings> LoadBackupSettings(const QString &file);

// What "KAYDET" stores: the folder, the daily hour, the interval, the verification, the days to keep and the
// second copy's folder and days, in one write.
Outcome SaveSchedule(const BackupSettings &settings, const QString &file);

// The start-at-login choice, "1" or "0".
Outcome SaveStartAtLogin(bool on, const QString &file);
