#include "schedule/Clock.h"

#include <QFile>
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

QString SystemElapsedClock::bootId() const
{
    static const QString kBootId = [] {
        QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
    }();
    return kBootId;
}
