#include "app/BackupTrigger.h"

#include "app/Schedule.h"

#include <array>

namespace {

char16_t Digit(int value)
{
    return static_cast<char16_t>(u'0' + value);
}

bool IsTwoDigitText(QStringView text, int value)
{
    return text.size() == 2 && text[0] == Digit(value / 10) && text[1] == Digit(value % 10);
}

// TimeText's characters without its allocation and format parsing: the tick runs all day.
std::array<char16_t, 8> ClockChars(const QTime &time)
{
    return {Digit(time.hour() / 10),   Digit(time.hour() % 10),   u':',
            Digit(time.minute() / 10), Digit(time.minute() % 10), u':',
            Digit(time.second() / 10), Digit(time.second() % 10)};
}

} // namespace

bool BackupTrigger::shouldRun(const Tick &tick)
{
    if (tick.runInFlight)
        return false;
    if (dailyDue(tick)) {
        dailyRunDate_ = tick.now.date();
        dailyRunHour_ = tick.now.time().hour();
        return true;
    }
    return copyDue(tick);
}

void BackupTrigger::runFinished(const QDateTime &end)
{
    lastEnd_ = end;
}

bool BackupTrigger::dailyDue(const Tick &tick) const
{
    const QTime time = tick.now.time();
    if (time.minute() != 0 || !IsTwoDigitText(tick.dailyHour, time.hour()))
        return false;
    return tick.now.date() != dailyRunDate_ || time.hour() != dailyRunHour_;
}

bool BackupTrigger::copyDue(const Tick &tick) const
{
    const std::array<char16_t, 8> clock = ClockChars(tick.now.time());
    if (QStringView(clock.data(), clock.size()) == tick.nextCopy)
        return !endedInSameSecond(tick.now);
    return intervalPassed(tick);
}

// Both runs would name their file after the same second.
bool BackupTrigger::endedInSameSecond(const QDateTime &now) const
{
    if (!lastEnd_.isValid() || now.date() != lastEnd_.date())
        return false;
    const QTime a = now.time();
    const QTime b = lastEnd_.time();
    return a.hour() == b.hour() && a.minute() == b.minute() && a.second() == b.second();
}

bool BackupTrigger::intervalPassed(const Tick &tick) const
{
    if (!lastEnd_.isValid())
        return false;
    const std::optional<std::chrono::seconds> length = IntervalLength(tick.intervalIndex);
    if (!length)
        return false;
    return lastEnd_.msecsTo(tick.now) >= std::chrono::milliseconds(*length).count();
}
