#pragma once

#include <QString>

// How long the backup disk lasts, for the run history's summary.
struct SpaceForecast {
    bool known = false;        // false without a backup size, a free-space figure or a schedule to go by
    bool lastsForever = false; // retention keeps the backups within the disk
    qint64 days = 0;           // whole days the free space lasts, when it does not last forever
    bool warn = false;         // under 3 days, or less free space than two backups
    QString text;              // "YER: 12 GÜN YETER", "YER: SÜREKLİ YETER", "YER: 1 GÜNDEN AZ"; or empty
};

// keepDays 0 is retention off. lastBackupBytes below 1 (the server gave no size) and freeBytes below 0
// are unknown.
SpaceForecast ForecastSpace(qint64 freeBytes, qint64 backupsBytes, qint64 lastBackupBytes, double runsPerDay,
                            int keepDays);

inline constexpr int kMinutesPerDay = 24 * 60;

// Runs a day of an interval given in minutes (0 when no interval rule runs; kMinutesPerDay for the daily
// choice), with one more for a daily hour beside any other interval.
double RunsPerDay(int intervalMinutes, bool hasDailyHour);
