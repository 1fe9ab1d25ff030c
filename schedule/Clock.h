#pragma once

#include <QDateTime>
#include <chrono>

// The two clocks the program runs by; tests put clocks of their own in their place.
//
// The wall clock is local time with its zone and daylight saving: it names the daily hour, the labels and
// the backup files, and it may be set back or forward at any moment. Elapsed time only ever moves forward
// and keeps counting while the machine sleeps: it decides whether an interval has passed.
class Clock {
public:
    virtual ~Clock() = default;
    // Called from the user-interface thread and from the backup worker.
    virtual QDateTime now() const = 0;
};

class ElapsedClock {
public:
    virtual ~ElapsedClock() = default;
    virtual std::chrono::milliseconds elapsed() const = 0;
    // Names the boot the elapsed time counts from, so that readings taken by another run of the program
    // can be compared with this one only when they share it; empty when the system does not say.
    virtual QString bootId() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The time since boot, sleep included, as the system keeps it.
class SystemElapsedClock final : public ElapsedClock {
public:
    std::chrono::milliseconds elapsed() const override;
    QString bootId() const override;
};
