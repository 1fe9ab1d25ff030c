#include "app/BackupTrigger.h"
#include "app/Schedule.h"
#include "app/TimeText.h"
#include "common/ManualClock.h"

#include <QtTest>
#include <chrono>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// NextCopyTime's "leave the label as it is", spelled so that a table row can hold it.
const QString kUnchanged = u"(unchanged)"_s;

// Simulated days are UTC so that no daylight-saving change of the machine's zone moves them.
const QDate kFirstDay(2026, 3, 2);

// "d HH:mm:ss[.zzz]": the simulated day counted from kFirstDay, then the clock text.
QDateTime At(const QString &stamp)
{
    const qsizetype blank = stamp.indexOf(u' ');
    const QTime time = QTime::fromString(stamp.sliced(blank + 1), Qt::ISODateWithMs);
    Q_ASSERT(time.isValid());
    return QDateTime(kFirstDay.addDays(stamp.first(blank).toInt()), time, Qt::UTC);
}

QString Stamp(const QDateTime &time)
{
    const QString clock = time.time().msec() == 0 ? TimeText(time) : time.toString(u"HH:mm:ss.zzz"_s);
    return QString::number(kFirstDay.daysTo(time.date())) + u' ' + clock;
}

// What the user does in the settings window while the clock runs; nothing is saved.
struct Edit {
    QDateTime at;
    std::optional<int> interval;
    std::optional<QString> dailyHour;
    // The window also recomputes the next copy time from the last-backup label at once.
    bool recompute = false;
};

// The machine sleeps or the process stalls: the tick due at `at` comes at `to`.
struct Jump {
    QDateTime at;
    QDateTime to;
};

// One stretch of simulated time; the builders return a changed copy so that a table row reads in one line.
struct Scenario {
    QDateTime start;
    QDateTime stop;
    int interval = -1;
    QString dailyHour;
    QString nextCopy;
    // A run that returned before the start, as the start-up run does; invalid when none has returned.
    QDateTime previousEnd;
    std::chrono::milliseconds runLength = 2s;
    QList<Edit> edits;
    QList<Jump> jumps;

    Scenario lasting(std::chrono::milliseconds length) const
    {
        Scenario s = *this;
        s.runLength = length;
        return s;
    }
    Scenario showing(const QString &label) const
    {
        Scenario s = *this;
        s.nextCopy = label;
        return s;
    }
    Scenario withoutRunYet() const
    {
        Scenario s = *this;
        s.previousEnd = {};
        return s;
    }
    Scenario editing(const Edit &edit) const
    {
        Scenario s = *this;
        s.edits << edit;
        return s;
    }
    Scenario sleeping(const QString &at, const QString &to) const
    {
        Scenario s = *this;
        s.jumps << Jump{At(at), At(to)};
        return s;
    }
};

// Ticks from just after a run that ended at `previousEnd` until `stop`.
Scenario After(const QString &previousEnd, const QString &stop, int interval, const QString &dailyHour = {})
{
    Scenario s;
    s.previousEnd = At(previousEnd);
    s.start = s.previousEnd.addMSecs(100);
    s.stop = At(stop);
    s.interval = interval;
    s.dailyHour = dailyHour;
    return s;
}

Edit Choose(const QString &at, int interval, bool recompute = false)
{
    return {At(at), interval, {}, recompute};
}

Edit SetHour(const QString &at, const QString &dailyHour)
{
    return {At(at), {}, dailyHour, false};
}

// Walks the clock in 100 ms ticks and plays the main window's part: starts a run when the trigger says
// so, and when the run returns sets the last-backup label and recomputes the next copy time.
class Simulator {
public:
    explicit Simulator(const Scenario &scenario)
        : s_(scenario), clock_(scenario.start), interval_(scenario.interval), dailyHour_(scenario.dailyHour),
          nextCopy_(scenario.nextCopy)
    {
        if (s_.previousEnd.isValid())
            finish(s_.previousEnd);
    }

    // The start time of every run, as Stamp texts.
    QStringList run()
    {
        QStringList starts;
        for (QDateTime now = s_.start; now < s_.stop; now = now.addMSecs(100)) {
            now = jumpIfDue(now);
            clock_.set(now);
            applyEdits(now);
            if (runEnd_.isValid() && runEnd_ <= now)
                finish(std::exchange(runEnd_, QDateTime()));
            const BackupTrigger::Tick tick{clock_.now(), dailyHour_, interval_, nextCopy_, runEnd_.isValid()};
            if (trigger_.shouldRun(tick)) {
                starts << Stamp(now);
                runEnd_ = now.addDuration(s_.runLength);
            }
        }
        return starts;
    }

private:
    QDateTime jumpIfDue(const QDateTime &now)
    {
        if (nextJump_ == s_.jumps.size() || now < s_.jumps[nextJump_].at)
            return now;
        return s_.jumps[nextJump_++].to;
    }

    void applyEdits(const QDateTime &now)
    {
        for (; nextEdit_ < s_.edits.size() && s_.edits[nextEdit_].at <= now; ++nextEdit_) {
            const Edit &edit = s_.edits[nextEdit_];
            interval_ = edit.interval.value_or(interval_);
            dailyHour_ = edit.dailyHour.value_or(dailyHour_);
            if (edit.recompute)
                recompute();
        }
    }

    void finish(const QDateTime &end)
    {
        trigger_.runFinished(end);
        lastBackup_ = TimeText(end);
        recompute();
    }

    void recompute() { nextCopy_ = NextCopyTime(lastBackup_, interval_, dailyHour_).value_or(nextCopy_); }

    const Scenario &s_;
    ManualClock clock_;
    BackupTrigger trigger_;
    int interval_;
    QString dailyHour_;
    QString nextCopy_;
    QString lastBackup_;
    QDateTime runEnd_;
    qsizetype nextEdit_ = 0;
    qsizetype nextJump_ = 0;
};

QList<qint64> DistinctGaps(const QStringList &starts)
{
    QList<qint64> gaps;
    for (qsizetype i = 1; i < starts.size(); ++i) {
        const qint64 gap = At(starts[i - 1]).secsTo(At(starts[i]));
        if (!gaps.contains(gap))
            gaps << gap;
    }
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class tst_schedule : public QObject {
    Q_OBJECT

private slots:
    void nextCopyTime_data();
    void nextCopyTime();
    void intervalLength_data();
    void intervalLength();
    void wholeDay_data();
    void wholeDay();
    void runs_data();
    void runs();
};

void tst_schedule::nextCopyTime_data()
{
    QTest::addColumn<QString>("lastBackup");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("dailyHour");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every minute") << "08:15:30" << 0 << "03" << u"08:16:30"_s;
    QTest::newRow("30 minutes") << "08:15:30" << 1 << "03" << u"08:45:30"_s;
    QTest::newRow("minute carries at 59") << "08:59:05" << 0 << "03" << u"09:00:05"_s;
    QTest::newRow("minute 58 does not carry") << "08:58:05" << 0 << "03" << u"08:59:05"_s;
    QTest::newRow("minute carry wraps midnight") << "23:59:59" << 0 << "03" << u"00:00:59"_s;
    QTest::newRow("30 minutes wraps midnight") << "23:45:10" << 1 << "03" << u"00:15:10"_s;
    QTest::newRow("30 minutes from 29 stays") << "10:29:00" << 1 << "03" << u"10:59:00"_s;
    QTest::newRow("30 minutes from 30 carries") << "10:30:00" << 1 << "03" << u"11:00:00"_s;
    QTest::newRow("every hour") << "08:15:30" << 2 << "03" << u"09:15:30"_s;
    QTest::newRow("every hour to 23 stays") << "22:15:30" << 2 << "03" << u"23:15:30"_s;
    QTest::newRow("every hour, 24 wraps to 00") << "23:15:30" << 2 << "03" << u"00:15:30"_s;
    QTest::newRow("two hours") << "10:20:45" << 3 << "03" << u"12:20:45"_s;
    QTest::newRow("four hours past midnight") << "22:10:00" << 4 << "03" << u"02:10:00"_s;
    QTest::newRow("six hours") << "03:00:09" << 5 << "03" << u"09:00:09"_s;
    QTest::newRow("twelve hours") << "13:05:07" << 6 << "03" << u"01:05:07"_s;
    QTest::newRow("twelve hours, 35 wraps to 11") << "23:05:07" << 6 << "03" << u"11:05:07"_s;
    QTest::newRow("daily") << "08:15:30" << 7 << "03" << u"03:00:00"_s;
    QTest::newRow("daily ignores the last backup") << "17:42:11" << 7 << "07" << u"07:00:00"_s;
    QTest::newRow("daily hour not padded") << "08:15:30" << 7 << "7" << u"7:00:00"_s;
    QTest::newRow("daily hour not validated") << "08:15:30" << 7 << "xy" << u"xy:00:00"_s;
    QTest::newRow("daily hour empty") << "08:15:30" << 7 << "" << u":00:00"_s;
    QTest::newRow("nothing selected") << "08:15:30" << -1 << "03" << kUnchanged;
    QTest::newRow("index past the list") << "08:15:30" << 8 << "03" << kUnchanged;
    QTest::newRow("empty label") << "" << 0 << "03" << kUnchanged;
    QTest::newRow("empty label, daily") << "" << 7 << "03" << kUnchanged;
    QTest::newRow("hour without zero") << "8:15:30" << 0 << "03" << kUnchanged;
    QTest::newRow("dashes") << "08-15-30" << 0 << "03" << kUnchanged;
    QTest::newRow("letters") << "ab:cd:ef" << 2 << "03" << kUnchanged;
    QTest::newRow("short seconds") << "08:15:3" << 0 << "03" << kUnchanged;
    QTest::newRow("trailing blank") << "08:15:30 " << 0 << "03" << kUnchanged;
    QTest::newRow("signed hour") << "+8:15:30" << 2 << "03" << kUnchanged;
    QTest::newRow("blank for a digit") << "08: 5:30" << 0 << "03" << kUnchanged;
    QTest::newRow("non-ASCII digit") << u"08:1\u0665:30"_s << 0 << "03" << kUnchanged;
}

void tst_schedule::nextCopyTime()
{
    QFETCH(QString, lastBackup);
    QFETCH(int, interval);
    QFETCH(QString, dailyHour);
    QFETCH(QString, expected);
    QCOMPARE(NextCopyTime(lastBackup, interval, dailyHour).value_or(kUnchanged), expected);
}

void tst_schedule::intervalLength_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("nothing selected") << -1 << qint64(-1);
    QTest::newRow("every minute") << 0 << qint64(60);
    QTest::newRow("30 minutes") << 1 << qint64(30 * 60);
    QTest::newRow("every hour") << 2 << qint64(3600);
    QTest::newRow("two hours") << 3 << qint64(2 * 3600);
    QTest::newRow("four hours") << 4 << qint64(4 * 3600);
    QTest::newRow("six hours") << 5 << qint64(6 * 3600);
    QTest::newRow("twelve hours") << 6 << qint64(12 * 3600);
    QTest::newRow("daily") << 7 << qint64(-1);
    QTest::newRow("past the list") << 8 << qint64(-1);
}

void tst_schedule::intervalLength()
{
    QFETCH(int, interval);
    QFETCH(qint64, seconds);
    const std::optional<std::chrono::seconds> length = IntervalLength(interval);
    QCOMPARE(length ? length->count() : -1, seconds);

    // The catch-up and the copy time must agree on what the choice means.
    if (length) {
        const QTime from(10, 20, 30);
        const QString next =
            NextCopyTime(from.toString(u"HH:mm:ss"_s), interval, u"03"_s).value_or(kUnchanged);
        QCOMPARE(from.secsTo(QTime::fromString(next, u"HH:mm:ss"_s)), seconds);
    }
}

void tst_schedule::wholeDay_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QList<qint64>>("gaps");

    // 2 s runs from a run that ended at midnight. Each run starts the interval again from its end, so the
    // runs drift by the run time.
    QTest::newRow("every minute") << 0 << 1393 << "0 00:01:00" << u"0 23:59:24"_s << QList<qint64>{62};
    QTest::newRow("30 minutes") << 1 << 47 << "0 00:30:00" << u"0 23:31:32"_s << QList<qint64>{1802};
    QTest::newRow("every hour") << 2 << 23 << "0 01:00:00" << u"0 23:00:44"_s << QList<qint64>{3602};
    QTest::newRow("two hours") << 3 << 11 << "0 02:00:00" << u"0 22:00:20"_s << QList<qint64>{7202};
    QTest::newRow("four hours") << 4 << 5 << "0 04:00:00" << u"0 20:00:08"_s << QList<qint64>{14402};
    QTest::newRow("six hours") << 5 << 3 << "0 06:00:00" << u"0 18:00:04"_s << QList<qint64>{21602};
    QTest::newRow("twelve hours") << 6 << 1 << "0 12:00:00" << u"0 12:00:00"_s << QList<qint64>{};
    QTest::newRow("daily") << 7 << 1 << "0 03:00:00" << u"0 03:00:00"_s << QList<qint64>{};
}

void tst_schedule::wholeDay()
{
    QFETCH(int, interval);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QList<qint64>, gaps);

    const Scenario day =
        After(u"0 00:00:00"_s, u"1 00:00:00"_s, interval, interval == 7 ? u"03"_s : QString());
    const QStringList starts = Simulator(day).run();
    QCOMPARE(starts.size(), count);
    QCOMPARE(starts.first(), first);
    QCOMPARE(starts.last(), last);
    QCOMPARE(DistinctGaps(starts), gaps);
}

void tst_schedule::runs_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QStringList>("starts");

    QTest::newRow("every minute across midnight")
        << After(u"0 23:58:00"_s, u"1 00:02:00"_s, 0)
        << QStringList{u"0 23:59:00"_s, u"1 00:00:02"_s, u"1 00:01:04"_s};
    QTest::newRow("four hours across midnight")
        << After(u"0 22:10:00"_s, u"1 03:00:00"_s, 4) << QStringList{u"1 02:10:00"_s};
    QTest::newRow("twelve hours across midnight")
        << After(u"0 13:05:07"_s, u"1 14:00:00"_s, 6) << QStringList{u"1 01:05:07"_s, u"1 13:05:09"_s};
    QTest::newRow("every hour, 40-minute runs")
        << After(u"0 00:00:00"_s, u"0 06:30:00"_s, 2).lasting(40min)
        << QStringList{u"0 01:00:00"_s, u"0 02:40:00"_s, u"0 04:20:00"_s, u"0 06:00:00"_s};
    QTest::newRow("runs longer than the interval")
        << After(u"0 10:00:00"_s, u"0 10:12:00"_s, 0).lasting(3min)
        << QStringList{u"0 10:01:00"_s, u"0 10:05:00"_s, u"0 10:09:00"_s};
    QTest::newRow("copy time passed during a run is not made up")
        << After(u"0 01:59:00"_s, u"0 03:00:00"_s, -1, u"02"_s)
               .withoutRunYet()
               .showing(u"02:30:00"_s)
               .lasting(40min)
        << QStringList{u"0 02:00:00"_s};

    // The daily hour.
    QTest::newRow("daily hour alone on two days") << After(u"0 02:00:00"_s, u"1 04:00:00"_s, -1, u"03"_s)
                                                  << QStringList{u"0 03:00:00"_s, u"1 03:00:00"_s};
    QTest::newRow("daily, runs shorter than a second")
        << After(u"0 02:00:00"_s, u"0 04:00:00"_s, 7, u"03"_s).lasting(300ms) << QStringList{u"0 03:00:00"_s};
    QTest::newRow("midnight label with nothing selected, short runs")
        << After(u"0 23:59:00"_s, u"1 00:01:00"_s, -1).withoutRunYet().showing(u"00:00:00"_s).lasting(300ms)
        << QStringList{u"1 00:00:00"_s};
    QTest::newRow("daily hour also with another interval")
        << After(u"0 02:30:00"_s, u"0 04:00:00"_s, 6, u"03"_s) << QStringList{u"0 03:00:00"_s};
    // The daily run at 05:00 ends the hourly drift: the next hour counts from its end.
    QTest::newRow("daily hour among hourly runs")
        << After(u"0 02:00:00"_s, u"0 08:00:00"_s, 2, u"05"_s)
        << QStringList{u"0 03:00:00"_s, u"0 04:00:02"_s, u"0 05:00:00"_s, u"0 06:00:02"_s, u"0 07:00:04"_s};
    QTest::newRow("run spanning the daily minute's start")
        << After(u"0 01:59:50"_s, u"0 04:00:00"_s, 2, u"03"_s).lasting(40s)
        << QStringList{u"0 02:59:50"_s, u"0 03:00:30"_s};
    QTest::newRow("run ending in the daily minute's first second")
        << After(u"0 01:59:59"_s, u"0 03:30:00"_s, 2, u"03"_s).lasting(1500ms)
        << QStringList{u"0 02:59:59"_s, u"0 03:00:00.500"_s};
    QTest::newRow("run spanning the whole daily minute")
        << After(u"0 01:59:50"_s, u"0 03:30:00"_s, 2, u"03"_s).lasting(80s) << QStringList{u"0 02:59:50"_s};
    QTest::newRow("daily hour that no clock text has")
        << After(u"0 02:00:00"_s, u"0 04:00:00"_s, 7, u"3"_s) << QStringList{};
    QTest::newRow("daily hour with a trailing blank")
        << After(u"0 02:00:00"_s, u"0 04:00:00"_s, 7, u"03 "_s) << QStringList{};
    QTest::newRow("daily hour 24") << After(u"0 23:00:00"_s, u"1 01:00:00"_s, 7, u"24"_s) << QStringList{};
    QTest::newRow("daily minute seen twice, the clock set back")
        << After(u"0 02:10:00"_s, u"0 03:30:00"_s, 2, u"03"_s).sleeping(u"0 03:00:40"_s, u"0 02:59:50"_s)
        << QStringList{u"0 03:00:00"_s};

    // Changes in the settings window, saved or not, count at the next tick.
    QTest::newRow("daily hour changed later in the day")
        << After(u"0 02:50:00"_s, u"1 14:10:00"_s, 7, u"03"_s).editing(SetHour(u"0 10:00:00"_s, u"14"_s))
        << QStringList{u"0 03:00:00"_s, u"0 14:00:00"_s, u"1 14:00:00"_s};
    QTest::newRow("daily hour changed within its own minute")
        << After(u"0 02:00:00"_s, u"0 04:30:00"_s, 7, u"03"_s).editing(SetHour(u"0 03:00:30"_s, u"04"_s))
        << QStringList{u"0 03:00:00"_s, u"0 04:00:00"_s};
    QTest::newRow("daily chosen mid-day")
        << After(u"0 01:00:00"_s, u"1 04:00:00"_s, 2, u"03"_s).editing(Choose(u"0 01:30:00"_s, 7))
        << QStringList{u"0 02:00:00"_s, u"0 03:00:00"_s, u"1 03:00:00"_s};
    QTest::newRow("nothing selected keeps the old copy time")
        << After(u"0 10:00:00"_s, u"1 10:30:00"_s, 0).editing(Choose(u"0 10:00:30"_s, -1))
        << QStringList{u"0 10:01:00"_s, u"1 10:01:00"_s};
    QTest::newRow("interval shortened long after the last backup")
        << After(u"0 09:00:00"_s, u"0 09:33:00"_s, 2).editing(Choose(u"0 09:30:00"_s, 0))
        << QStringList{u"0 09:30:00"_s, u"0 09:31:02"_s, u"0 09:32:04"_s};
    QTest::newRow("interval shortened, copy time recomputed into the past")
        << After(u"0 09:00:00"_s, u"0 09:33:00"_s, 2).editing(Choose(u"0 09:30:00"_s, 0, true))
        << QStringList{u"0 09:30:00"_s, u"0 09:31:02"_s, u"0 09:32:04"_s};
    QTest::newRow("interval lengthened, the shown copy time still holds")
        << After(u"0 10:00:00"_s, u"0 11:30:00"_s, 0).editing(Choose(u"0 10:00:30"_s, 2))
        << QStringList{u"0 10:01:00"_s, u"0 11:01:02"_s};

    // Before a run has returned there is no last backup to count an interval from.
    QTest::newRow("no catch-up before a run has returned")
        << After(u"0 10:00:00"_s, u"0 10:10:00"_s, 0).withoutRunYet() << QStringList{};
    QTest::newRow("copy time before any run has returned")
        << After(u"0 10:00:00"_s, u"0 10:07:00"_s, 0).withoutRunYet().showing(u"10:05:00"_s)
        << QStringList{u"0 10:05:00"_s, u"0 10:06:02"_s};

    // Ticks that never came.
    QTest::newRow("five hours asleep, every hour")
        << After(u"0 08:00:00"_s, u"0 15:00:00"_s, 2).sleeping(u"0 08:30:00"_s, u"0 13:30:00"_s)
        << QStringList{u"0 13:30:00"_s, u"0 14:30:02"_s};
    QTest::newRow("five hours asleep, every minute")
        << After(u"0 08:00:00"_s, u"0 13:03:00"_s, 0).sleeping(u"0 08:00:30"_s, u"0 13:00:30.300"_s)
        << QStringList{u"0 13:00:30.300"_s, u"0 13:01:32"_s, u"0 13:02:34"_s};
    QTest::newRow("asleep over a day, daily keeps its time")
        << After(u"0 02:00:00"_s, u"1 08:00:00"_s, 7, u"03"_s).sleeping(u"0 02:30:00"_s, u"1 07:30:00"_s)
        << QStringList{};
    QTest::newRow("asleep over a day with nothing selected")
        << After(u"0 08:00:00"_s, u"1 15:00:00"_s, -1)
               .showing(u"09:00:00"_s)
               .sleeping(u"0 08:30:00"_s, u"1 13:30:00"_s)
        << QStringList{};
}

void tst_schedule::runs()
{
    QFETCH(Scenario, scenario);
    QFETCH(QStringList, starts);
    QCOMPARE(Simulator(scenario).run(), starts);
}

QTEST_APPLESS_MAIN(tst_schedule)
#include "tst_schedule.moc"
