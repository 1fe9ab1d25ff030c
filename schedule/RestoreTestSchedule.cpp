#include "schedule/RestoreTestSchedule.h"

RestoreTestSchedule::RestoreTestSchedule(const Clock &wall, const ElapsedClock &elapsed)
    : wall_(wall), elapsed_(elapsed)
{}

void RestoreTestSchedule::setDays(int days)
{
    days_ = days;
}

void RestoreTestSchedule::setDailyHour(std::optional<int> hour)
{
    dailyHour_ = hour;
}

void RestoreTestSchedule::setLastTest(const QDateTime &started)
{
    lastTest_ = started;
}

bool RestoreTestSchedule::dueAfterBackup(const QDateTime &ended) const
{
    if (days_ <= 0)
        return false;
    if (dailyHour_ && ended.time().hour() < *dailyHour_)
        return false;
    // By dates, not hours: a test on the 1st at 14:00 makes the 8th due from its daily hour on, and a clock
    // set back never gives a date two tests.
    return !lastTest_.isValid() || ended.date() >= lastTest_.date().addDays(days_);
}

bool RestoreTestSchedule::backupEnded(bool succeeded, bool verificationFailed)
{
    backupRunning_ = false;
    if (!succeeded || verificationFailed || testRunning_ || !dueAfterBackup(wall_.now()))
        return false;
    start();
    return true;
}

bool RestoreTestSchedule::requestTest()
{
    if (backupRunning_ || testRunning_)
        return false;
    start();
    return true;
}

void RestoreTestSchedule::start()
{
    testRunning_ = true;
    testStart_ = elapsed_.elapsed();
    lastTest_ = wall_.now();
}

void RestoreTestSchedule::testFinished()
{
    testRunning_ = false;
}

bool RestoreTestSchedule::mustCancelFor(std::optional<std::chrono::seconds> interval) const
{
    return testRunning_ && interval && elapsed_.elapsed() - testStart_ > *interval;
}
