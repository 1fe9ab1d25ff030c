#include "platform/BootClock.h"

#include <QDateTime>
#include <windows.h>

std::chrono::milliseconds SinceBoot()
{
    // The tick count goes on through sleep and hibernation, where the unbiased interrupt time stops.
    return std::chrono::milliseconds(GetTickCount64());
}

QString BootId()
{
    // Windows names no boot, but the wall clock at the moment of the boot is one within a few ticks. It is
    // read once, so a clock changed later cannot make this run's boot another; rounded to half minutes, so
    // a restarted program meets the same name unless the clock was changed in between, and then the
    // elapsed readings of the two runs are simply not compared.
    static const QString kBootId = [] {
        constexpr qint64 kGrainMs = 30'000;
        const qint64 bootMs = QDateTime::currentMSecsSinceEpoch() - static_cast<qint64>(GetTickCount64());
        const qint64 rounded = (bootMs + kGrainMs / 2) / kGrainMs * kGrainMs;
        return QDateTime::fromMSecsSinceEpoch(rounded, Qt::UTC).toString(Qt::ISODate);
    }();
    return kBootId;
}
