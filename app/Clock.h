#pragma once

#include <QDateTime>

// The time of day the program runs by; tests put a clock of their own in its place.
class Clock {
public:
    virtual ~Clock() = default;
    // Called from the user-interface thread and from the backup worker.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
