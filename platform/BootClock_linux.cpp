#include "platform/BootClock.h"

#include <QFile>
#include <ctime>

using namespace Qt::StringLiterals;

std::chrono::milliseconds SinceBoot()
{
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return std::chrono::seconds(now.tv_sec) +
               std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(now.tv_nsec));
    // A kernel older than the boot-time clock: sleep then delays an interval run until waking.
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

QString BootId()
{
    static const QString kBootId = [] {
        QFile file(u"/proc/sys/kernel/random/boot_id"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
    }();
    return kBootId;
}
