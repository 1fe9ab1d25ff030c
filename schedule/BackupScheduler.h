#pragma once

#include "schedule/Clock.h"
#include "schedule/RunCauses.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// A stored schedule value that the schedule cannot use as it stands.
struct ScheduleProblem {
    QString key;
    QString value;
    QString text; // for the user: what does not run, and what to do

    friend bool operator==(const ScheduleProblem &, const ScheduleProblem &) = default;
};

// The schedule of automatic backups, without widgets: the last run, the live daily hour and interval, the
// run in flight, and the rules that start a run.
//
// The wall clock decides the daily run, the labels and the file names. The daily run is due once per
// calendar date, at the first tick at or after the daily hour, unless a run already ended at or after that
// hour on that date: so an hour skipped by daylight saving, a machine asleep at the hour or a clock set past
// it still give that date its run, and the repeated hour of autumn or a clock set back gives none twice.
// An interval is due when it has passed in elapsed time since the last run ended, or when the wall clock
// has reached the shown copy time: a clock set back delays nothing, one set forward runs at once, once, and
// a machine asleep past a copy time runs once on waking.
//
// A failed run is tried again 5, 15, 30 and 60 minutes of elapsed time after each failure in a row, then
// every hour, until a run succeeds; a scheduled run due sooner goes first. A date's daily run counts as done
// only once a run ended at or after the hour with success; a failed one is left to those retries.
class BackupScheduler {
public:
    BackupScheduler(const Clock &wall, const ElapsedClock &elapsed);

    // The live schedule: the stored texts at start, then each edit in the settings window, saved or not.
    void setDailyHour(const QString &text);
    void setInterval(const QString &text);
    // The stored backup options, as written: only to say when one cannot be used.
    void setOptions(const QString &verifyText, const QString &keepDaysText);

    // The run this tick starts, if any (at most one); it is then in flight.
    std::optional<RunCause> tick();
    // A run asked for by the user or the start; false, and nothing started, while one is in flight.
    bool startRun();
    // The run in flight has returned, with or without a backup.
    void runFinished(bool succeeded);

    bool isRunInFlight() const { return inFlight_; }
    // When the last run ended; invalid before any has.
    QDateTime lastBackup() const { return lastEndWall_; }
    // The text of the next-copy label; nothing when the label stays as it is.
    std::optional<QString> nextCopyText() const;
    QList<ScheduleProblem> problems() const;

    // How long the clock waits before its next tick. While the second is on screen: to just past the next
    // whole second of the wall clock. Otherwise nothing needs the second: to just past the second at which
    // the next run can fall due (the daily hour, the shown copy time, the interval's end in elapsed time,
    // the next retry, whichever comes first), and at most kHiddenWakeAtMost, so that a step of the wall clock
    // is seen within it. While a run is in flight nothing falls due; its end is told by runFinished.
    std::chrono::milliseconds nextWake(bool secondShown) const;
    static constexpr std::chrono::milliseconds kHiddenWakeAtMost{60'000};
    // A tick falls this long after its whole second, never just before it.
    static constexpr std::chrono::milliseconds kPastTheSecond{2};

private:
    std::chrono::milliseconds untilDue(const QDateTime &now) const;
    bool dailyDue(const QDateTime &now, int hour) const;
    std::optional<RunCause> copyDue(const QDateTime &now, std::chrono::milliseconds elapsed) const;
    std::chrono::minutes retryDelay() const;
    bool retryDue(std::chrono::milliseconds elapsed) const;
    QDateTime nextDaily(const QDateTime &now, int hour) const;
    std::optional<QDateTime> nextScheduled(const QDateTime &now) const;

    const Clock &wall_;
    const ElapsedClock &elapsed_;
    QString dailyText_;
    std::optional<int> dailyHour_;
    QString intervalText_;
    QString verifyText_;
    QString keepDaysText_;
    int interval_ = -1;
    bool inFlight_ = false;
    QDateTime lastEndWall_;
    std::chrono::milliseconds lastEndElapsed_{0};
    // Failed runs since the last success: while any, a retry is owed.
    int failuresInRow_ = 0;
    // The latest end of a successful run on each recent date, as its wall clock showed it.
    QMap<QDate, QTime> latestEnds_;
};
