#pragma once

#include "app/Clock.h"

#include <QMutex>
#include <QMutexLocker>

// A clock the test sets by hand; the backup worker may read it while the test moves it.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0))) : now_(start) {}

    QDateTime now() const override
    {
        QMutexLocker lock(&mutex_);
        return now_;
    }
    void set(const QDateTime &time)
    {
        QMutexLocker lock(&mutex_);
        now_ = time;
    }
    void setTime(const QTime &time) { set(QDateTime(now().date(), time)); }
    void advance(qint64 milliseconds) { set(now().addMSecs(milliseconds)); }

private:
    mutable QMutex mutex_;
    QDateTime now_;
};
