#include "schedule/Clock.h"

#include "platform/BootClock.h"

std::chrono::milliseconds SystemElapsedClock::elapsed() const
{
    return SinceBoot();
}

QString SystemElapsedClock::bootId() const
{
    return BootId();
}
