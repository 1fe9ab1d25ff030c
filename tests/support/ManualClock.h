#pragma once

#include "schedule/Clock.h"

#include <QMutex>
#include <QMutexLocker>
#include <QTimeZone>

// Both clocks, set by hand; the backup worker may read them while the test moves them. Moving the wall
// clock forward lets that much time pass; moving it back is a clock set back, which elapsed time ignores.
class ManualClock final : public Clock, public ElapsedClock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0))) : now_(start) {}

    QDateTime now() const override
    {
        QMutexLocker lock(&mutex_);
        return now_;
    }
    std::chrono::milliseconds elapsed() const override
    {
        QMutexLocker lock(&mutex_);
        return elapsed_;
    }
    QString bootId() const override
    {
        QMutexLocker lock(&mutex_);
        return bootId_;
    }
    // A restart of the machine: elapsed time begins again under another boot.
    void reboot(const QString &bootId)
    {
        QMutexLocker lock(&mutex_);
        bootId_ = bootId;
        elapsed_ = std::chrono::milliseconds(0);
    }
    void set(const QDateTime &time)
    {
        QMutexLocker lock(&mutex_);
        elapsed_ += std::chrono::milliseconds(std::max<qint64>(0, now_.msecsTo(time)));
        now_ = time;
    }
    void setTime(const QTime &time) { set(QDateTime(now().date(), time, now().timeZone())); }
    void advance(qint64 milliseconds) { set(now().addMSecs(milliseconds)); }
    // The wall clock alone moves: someone set it, or daylight saving or a time server moved it.
    void step(qint64 milliseconds)
    {
        QMutexLocker lock(&mutex_);
        now_ = now_.addMSecs(milliseconds);
    }

private:
    mutable QMutex mutex_;
    QDateTime now_;
    std::chrono::milliseconds elapsed_{0};
    QString bootId_ = QStringLiteral("boot-1");
};
