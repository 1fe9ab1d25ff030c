#include "schedule/Clock.h"

#include <ctime>

std::chrono::milliseconds SystemElapsedClock::elapsed() const
{
    timespec now{};
#ifdef CLOCK_BOOTTIME
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return std::chrono::seconds(now.tv_sec) +
               std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(now.tv_nsec));
#endif
    // Where the system has no such clock, a steady one: sleep then delays an interval run until waking.
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}
