#pragma once

#include "schedule/Clock.h"

#include <QDateTime>
#include <chrono>
#include <optional>

// When a restore test runs, without widgets. A test is due after the first good backup (verified, where
// verification is on) that ends at or after the daily hour on a date at least `days` after the last
// test's date; the user may ask for one at any time. A test never starts while a backup runs, and a backup
// that falls due during a test waits for it, unless the test has run longer than the backup interval:
// then the test is to be cancelled, so that the backups keep their pace.
class RestoreTestSchedule {
public:
    RestoreTestSchedule(const Clock &wall, const ElapsedClock &elapsed);

    // 0: no scheduled tests.
    void setDays(int days);
    // Nothing: a backup at any hour will do.
    void setDailyHour(std::optional<int> hour);
    // The last test's start, from the history; invalid when there has been none.
    void setLastTest(const QDateTime &started);

    // A backup has just ended; true when the test is due now: it has then started.
    bool backupEnded(bool succeeded, bool verificationFailed);
    // The user asked for a test; false, and nothing started, while a backup or a test runs.
    bool requestTest();
    void backupStarted() { backupRunning_ = true; }
    void backupFinished() { backupRunning_ = false; }
    void testFinished();

    bool isTestRunning() const { return testRunning_; }
    // Whether a backup that falls due now may start: never during a test.
    bool backupMayStart() const { return !testRunning_; }
    // Whether the running test must be cancelled for a backup kept waiting: it has outrun the interval.
    bool mustCancelFor(std::optional<std::chrono::seconds> interval) const;
    QDateTime lastTest() const { return lastTest_; }

private:
    bool dueAfterBackup(const QDateTime &ended) const;
    void start();

    const Clock &wall_;
    const ElapsedClock &elapsed_;
    int days_ = 0;
    std::optional<int> dailyHour_;
    QDateTime lastTest_;
    bool backupRunning_ = false;
    bool testRunning_ = false;
    std::chrono::milliseconds testStart_{0};
};
