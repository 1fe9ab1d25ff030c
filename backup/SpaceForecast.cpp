#include "backup/SpaceForecast.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr double kWarnDays = 3;
constexpr double kMaxDays = 1e9;

} // namespace

SpaceForecast ForecastSpace(qint64 freeBytes, qint64 backupsBytes, qint64 lastBackupBytes, double runsPerDay,
                            int keepDays)
{
    SpaceForecast forecast;
    if (freeBytes < 0 || lastBackupBytes <= 0)
        return forecast;
    const double last = double(lastBackupBytes);
    const double free = double(freeBytes);
    // The next backup is written whole before retention makes room.
    forecast.warn = free < 2 * last;
    if (runsPerDay <= 0)
        return forecast;
    forecast.known = true;
    // Retention runs after the new backup is written, so the disk holds keepDays of backups and one more.
    const double steady = (keepDays * runsPerDay + 1) * last;
    if (keepDays > 0 && steady <= double(backupsBytes) + free) {
        forecast.lastsForever = true;
        forecast.text = u"YER: SÜREKLİ YETER"_s;
        return forecast;
    }
    const double days = std::min(free / (runsPerDay * last), kMaxDays);
    forecast.days = qint64(days);
    forecast.warn = forecast.warn || days < kWarnDays;
    // Beyond ten years a count of days says nothing a shop owner can use.
    constexpr qint64 kTenYears = 3650;
    forecast.text = days < 1                    ? u"YER: 1 GÜNDEN AZ"_s
                    : forecast.days > kTenYears ? u"YER: 10 YILDAN UZUN YETER"_s
                                                : u"YER: %1 GÜN YETER"_s.arg(forecast.days);
    return forecast;
}

double RunsPerDay(int intervalMinutes, bool hasDailyHour)
{
    const double byInterval = intervalMinutes > 0 ? double(kMinutesPerDay) / intervalMinutes : 0;
    return byInterval + (hasDailyHour && intervalMinutes != kMinutesPerDay ? 1 : 0);
}
