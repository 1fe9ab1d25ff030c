#include "backup/BackupPlan.h"
#include "schedule/BackupScheduler.h"
#include "schedule/Schedule.h"
#include "schedule/StallWatch.h"
#include "schedule/TimeText.h"
#include "support/ManualClock.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTimeZone>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QTimeZone kBerlin("Europe/Berlin");

// "yyyy-MM-dd HH:mm:ss" on Berlin's wall clock; where the autumn hour repeats, the first one.
QDateTime At(const QString &stamp)
{
    return QDateTime(QDate::fromString(stamp.left(10), Qt::ISODate),
                     QTime::fromString(stamp.mid(11), u"HH:mm:ss"_s), kBerlin);
}

// Wall time with its offset, so that the two 02:00 of an autumn night differ.
QString Stamp(const QDateTime &time)
{
    return time.toString(u"MM-dd HH:mm:ss"_s) + (time.offsetFromUtc() == 7200 ? u" S"_s : QString());
}

// Something that happens to the machine at a moment of its wall clock.
struct Event {
    enum Kind { Sleep, Step, Hour, Interval, Button };
    Kind kind;
    QDateTime at;
    qint64 ms = 0;
    QString text;
};

Event Sleep(const QString &at, qint64 ms)
{
    return {Event::Sleep, At(at), ms, {}};
}
Event Step(const QString &at, qint64 ms)
{
    return {Event::Step, At(at), ms, {}};
}
Event Button(const QString &at)
{
    return {Event::Button, At(at), 0, {}};
}
Event Edit(const QString &at, Event::Kind kind, const QString &text)
{
    return {kind, At(at), 0, text};
}

// Plays the program: a run at start, then a tick at every `tickMs` of elapsed time; a run lasts
// `runLength` of elapsed time and its end is seen at the tick after it. With `tickMs` 0, as with the window
// hidden: each tick when the scheduler asks for it, and at the end of a run.
class Simulator {
public:
    Simulator(const QDateTime &start, const QString &interval, const QString &hour,
              std::chrono::milliseconds runLength = 2s, qint64 tickMs = 1000)
        : clock_(start), scheduler_(clock_, clock_), runLength_(runLength), tickMs_(tickMs)
    {
        scheduler_.setInterval(interval);
        scheduler_.setDailyHour(hour);
        hourStart_ = QTime(DailyHourOf(hour).value_or(0), 0);
    }

    // Until `stop` on the wall clock, or `forMs` of elapsed time when given.
    QList<QDateTime> run(const QDateTime &stop, QList<Event> events = {}, qint64 forMs = 0)
    {
        const std::chrono::milliseconds until = clock_.elapsed() + std::chrono::milliseconds(forMs);
        if (scheduler_.startRun())
            begin(RunCause::Start);
        while (forMs > 0 ? clock_.elapsed() < until : clock_.now() < stop) {
            for (; !events.isEmpty() && events.front().at <= clock_.now(); events.removeFirst())
                apply(events.front());
            if (scheduler_.isRunInFlight() && clock_.elapsed() >= runEnd_) {
                scheduler_.runFinished(succeeded.back());
                ends_ << clock_.elapsed();
            }
            if (const std::optional<RunCause> cause = scheduler_.tick())
                begin(*cause);
            if (clock_.now().time() >= hourStart_)
                awakeAfterHour.insert(clock_.now().date());
            ++ticks;
            clock_.advance(tickMs_ > 0 ? tickMs_ : hiddenWait());
        }
        return starts_;
    }

    // Runs started while the wall clock reads within [from, until) fail, as with the server down.
    void failBetween(const QDateTime &from, const QDateTime &until)
    {
        downFrom_ = from;
        downUntil_ = until;
    }

    QList<RunCause> causes;
    QList<bool> succeeded;
    // Elapsed time asleep between each start and the run before it.
    QList<std::chrono::milliseconds> asleepBefore;
    QList<std::chrono::milliseconds> startsElapsed;
    QList<std::chrono::milliseconds> ends_;
    QSet<QDate> awakeAfterHour;
    int ticks = 0;
    BackupScheduler &scheduler() { return scheduler_; }

private:
    qint64 hiddenWait() const
    {
        const qint64 wait = scheduler_.nextWake(false).count();
        return scheduler_.isRunInFlight() ? std::min<qint64>(wait, (runEnd_ - clock_.elapsed()).count())
                                          : wait;
    }

    void begin(RunCause cause)
    {
        starts_ << clock_.now();
        causes << cause;
        succeeded << !(downUntil_.isValid() && downFrom_ <= clock_.now() && clock_.now() < downUntil_);
        startsElapsed << clock_.elapsed();
        asleepBefore << std::exchange(asleep_, 0ms);
        runEnd_ = clock_.elapsed() + runLength_;
    }

    void apply(const Event &event)
    {
        if (event.kind == Event::Sleep) {
            clock_.advance(event.ms);
            asleep_ += std::chrono::milliseconds(event.ms);
        } else if (event.kind == Event::Step) {
            clock_.step(event.ms);
        } else if (event.kind == Event::Button) {
            if (scheduler_.startRun())
                begin(RunCause::Button);
        } else if (event.kind == Event::Hour) {
            scheduler_.setDailyHour(event.text);
        } else {
            scheduler_.setInterval(event.text);
        }
    }

    ManualClock clock_;
    BackupScheduler scheduler_;
    std::chrono::milliseconds runLength_;
    qint64 tickMs_;
    QTime hourStart_;
    QDateTime downFrom_;
    QDateTime downUntil_;
    std::chrono::milliseconds runEnd_{0};
    std::chrono::milliseconds asleep_{0};
    QList<QDateTime> starts_;
};

QStringList Stamps(const QList<QDateTime> &times)
{
    QStringList stamps;
    for (const QDateTime &time : times)
        stamps << Stamp(time);
    return stamps;
}

// "03:00:00 daily hour failed": each start with its cause and, when it failed, so.
QStringList Runs(const QList<QDateTime> &starts, const Simulator &simulator)
{
    QStringList runs;
    for (qsizetype i = 0; i < starts.size(); ++i)
        runs << TimeText(starts[i]) + u' ' + RunCauseName(simulator.causes[i]) +
                    (simulator.succeeded[i] ? QString() : u" failed"_s);
    return runs;
}

const QString kMinute = u"Dakikada bir yedekle"_s;
const QString kHourly = u"Her saat başı kopyala"_s;
const QString kDaily = u"Günlük yedekleme saatinde kopyala"_s;

} // namespace

class tst_schedule : public QObject {
    Q_OBJECT

private slots:
    void storedTexts_data();
    void storedTexts();
    void runs_data();
    void runs();
    void retries_data();
    void retries();
    void nextRunAfterFailures_data();
    void nextRunAfterFailures();
    void autumnNightNamesNeverRepeat();
    void problemsShownOthersGoOn();
    void hiddenTicksMeetEveryRunOnItsSecond_data();
    void hiddenTicksMeetEveryRunOnItsSecond();
    void yearOfSleepsAndClockSteps_data();
    void yearOfSleepsAndClockSteps();
    void stallToldOncePerStall_data();
    void stallToldOncePerStall();
    void everyCauseReadsBackFromItsName();
};

void tst_schedule::storedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("hour");

    QTest::newRow("as listed") << kMinute << 0 << -1;
    QTest::newRow("lower case") << u"dakikada bir yedekle"_s << 0 << -1;
    QTest::newRow("Turkish capitals") << u"DAKİKADA BİR YEDEKLE"_s << 0 << -1;
    QTest::newRow("capitals of another keyboard") << u"IKI SAATTE BIR KOPYALA"_s << 3 << -1;
    QTest::newRow("blanks around") << u"  oniki saatte bir kopyala\t"_s << 6 << -1;
    QTest::newRow("one digit hour") << u"2"_s << -1 << 2;
    QTest::newRow("two digits") << u"07"_s << -1 << 7;
    QTest::newRow("hour with blanks") << u" 9 "_s << -1 << 9;
    QTest::newRow("hour 23") << u"23"_s << -1 << 23;
    QTest::newRow("hour 24") << u"24"_s << -1 << -1;
    QTest::newRow("three digits") << u"002"_s << -1 << -1;
    QTest::newRow("signed") << u"-1"_s << -1 << -1;
    QTest::newRow("non-ASCII digit") << u"\u0662"_s << -1 << -1;
}

void tst_schedule::storedTexts()
{
    QFETCH(QString, text);
    QFETCH(int, interval);
    QFETCH(int, hour);
    QCOMPARE(IntervalIndexOf(text), interval);
    QCOMPARE(DailyHourOf(text).value_or(-1), hour);
}

void tst_schedule::runs_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<QStringList>("starts");

    // The daily run: once per date, the start-up run counting when it ends past the hour.
    QTest::newRow("daily, started before the hour")
        << "2026-12-07 01:00:00"
        << "2026-12-09 00:00:00" << kDaily << "02" << QList<Event>{}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:00:00"_s, u"12-08 02:00:00"_s};
    QTest::newRow("daily, the start-up run counts")
        << "2026-12-07 10:00:00"
        << "2026-12-08 03:00:00" << kDaily << "02" << QList<Event>{}
        << QStringList{u"12-07 10:00:00"_s, u"12-08 02:00:00"_s};
    QTest::newRow("asleep over the daily hour")
        << "2026-12-07 01:00:00"
        << "2026-12-07 04:00:00" << kDaily << "02"
        << QList<Event>{Sleep(u"2026-12-07 01:59:45"_s, 30 * 60 * 1000 + 15 * 1000)}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:30:00"_s};
    QTest::newRow("clock set past the daily hour")
        << "2026-12-07 01:00:00"
        << "2026-12-07 04:00:00" << kDaily << "02"
        << QList<Event>{Step(u"2026-12-07 01:30:00"_s, 3600 * 1000)}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:30:00"_s};
    QTest::newRow("clock set back over the daily hour")
        << "2026-12-07 01:00:00"
        << "2026-12-07 04:00:00" << kDaily << "02"
        << QList<Event>{Step(u"2026-12-07 02:30:00"_s, -3600 * 1000)}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:00:00"_s};
    QTest::newRow("clock set back a day")
        << "2026-12-07 01:00:00"
        << "2026-12-08 03:00:00" << kDaily << "02"
        << QList<Event>{Step(u"2026-12-07 03:00:00"_s, -86400LL * 1000)}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:00:00"_s, u"12-06 03:00:00"_s, u"12-08 02:00:00"_s};
    QTest::newRow("daylight saving starts: 02:00 never comes")
        << "2027-03-27 01:00:00"
        << "2027-03-29 04:00:00" << kDaily << "02" << QList<Event>{}
        << QStringList{u"03-27 01:00:00"_s, u"03-27 02:00:00"_s, u"03-28 03:00:00 S"_s,
                       u"03-29 02:00:00 S"_s};
    QTest::newRow("daylight saving ends: 02:00 comes twice")
        << "2026-10-24 01:00:00"
        << "2026-10-26 04:00:00" << kDaily << "02" << QList<Event>{}
        << QStringList{u"10-24 01:00:00 S"_s, u"10-24 02:00:00 S"_s, u"10-25 02:00:00 S"_s,
                       u"10-26 02:00:00"_s};
    QTest::newRow("hour of one digit, edited while running")
        << "2026-12-07 01:00:00"
        << "2026-12-07 06:00:00" << kDaily << "2"
        << QList<Event>{Edit(u"2026-12-07 03:00:00"_s, Event::Hour, u"05"_s)}
        << QStringList{u"12-07 01:00:00"_s, u"12-07 02:00:00"_s, u"12-07 05:00:00"_s};

    // Intervals count elapsed time from the end of the last run.
    QTest::newRow("every minute") << "2026-12-07 10:00:00"
                                  << "2026-12-07 10:03:30" << kMinute << "" << QList<Event>{}
                                  << QStringList{u"12-07 10:00:00"_s, u"12-07 10:01:02"_s,
                                                 u"12-07 10:02:04"_s, u"12-07 10:03:06"_s};
    QTest::newRow("clock set back a minute")
        << "2026-12-07 10:00:00"
        << "2026-12-07 10:02:00" << kMinute << "" << QList<Event>{Step(u"2026-12-07 10:00:30"_s, -60 * 1000)}
        << QStringList{u"12-07 10:00:00"_s, u"12-07 10:00:02"_s, u"12-07 10:01:04"_s};
    QTest::newRow("clock set back an hour") << "2026-12-07 10:00:00"
                                            << "2026-12-07 09:58:30" << kMinute << ""
                                            << QList<Event>{Step(u"2026-12-07 10:00:30"_s, -3600 * 1000)}
                                            << QStringList{u"12-07 10:00:00"_s, u"12-07 09:01:02"_s};
    QTest::newRow("clock set back a day, every hour")
        << "2026-12-07 10:00:00"
        << "2026-12-07 08:30:00" << kHourly << ""
        << QList<Event>{Step(u"2026-12-07 10:30:00"_s, -86400LL * 1000)}
        << QStringList{u"12-07 10:00:00"_s, u"12-06 11:00:02"_s};
    QTest::newRow("clock set forward: at once, once")
        << "2026-12-07 10:00:00"
        << "2026-12-07 12:00:00" << kHourly << "" << QList<Event>{Step(u"2026-12-07 10:10:00"_s, 3600 * 1000)}
        << QStringList{u"12-07 10:00:00"_s, u"12-07 11:10:00"_s};
    QTest::newRow("asleep over five copy times")
        << "2026-12-07 08:00:00"
        << "2026-12-07 14:00:00" << kHourly << ""
        << QList<Event>{Sleep(u"2026-12-07 08:30:00"_s, 5 * 3600 * 1000)}
        << QStringList{u"12-07 08:00:00"_s, u"12-07 13:30:00"_s};
    QTest::newRow("interval edited in lower case")
        << "2026-12-07 10:00:00"
        << "2026-12-07 10:02:30" << kHourly << ""
        << QList<Event>{Edit(u"2026-12-07 10:00:30"_s, Event::Interval, u"dakikada bir yedekle"_s)}
        << QStringList{u"12-07 10:00:00"_s, u"12-07 10:01:02"_s, u"12-07 10:02:04"_s};
    QTest::newRow("daily hour among hourly runs")
        << "2026-12-07 03:30:00"
        << "2026-12-07 06:01:00" << kHourly << "05" << QList<Event>{}
        << QStringList{u"12-07 03:30:00"_s, u"12-07 04:30:02"_s, u"12-07 05:00:00"_s, u"12-07 06:00:02"_s};
    QTest::newRow("nothing chosen: the copy at midnight")
        << "2026-12-07 23:00:00"
        << "2026-12-08 01:00:00"
        << ""
        << "" << QList<Event>{} << QStringList{u"12-07 23:00:00"_s, u"12-08 00:00:00"_s};
}

void tst_schedule::runs()
{
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, interval);
    QFETCH(QString, hour);
    QFETCH(QList<Event>, events);
    QFETCH(QStringList, starts);
    Simulator simulator(At(start), interval, hour);
    // A stop earlier than the start is elapsed time after it.
    const qint64 forMs = At(stop) < At(start) ? At(stop).msecsTo(At(start)) : 0;
    const QStringList got = Stamps(simulator.run(At(stop), events, forMs));
    QCOMPARE(got, starts);
}

void tst_schedule::retries_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("downFrom"); // runs started from then on fail, until downUntil
    QTest::addColumn<QString>("downUntil");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<QString>("runs");

    // From 2026-12-07 02:00; each retry counts from the end of the failed run before it (a run lasts 2 s).
    const QString daily = u"02:00:00 start, 03:00:00 daily hour failed, "_s;
    QTest::newRow("first retry succeeds") << kDaily << "03"
                                          << "03:00"
                                          << "03:01"
                                          << "23:59" << QList<Event>{} << daily + u"03:05:02 retry"_s;
    QTest::newRow("second retry succeeds")
        << kDaily << "03"
        << "03:00"
        << "03:10"
        << "23:59" << QList<Event>{} << daily + u"03:05:02 retry failed, 03:20:04 retry"_s;
    QTest::newRow("third retry succeeds")
        << kDaily << "03"
        << "03:00"
        << "03:30"
        << "23:59" << QList<Event>{}
        << daily + u"03:05:02 retry failed, 03:20:04 retry failed, 03:50:06 retry"_s;
    QTest::newRow("down for hours: hourly after the fourth")
        << kDaily << "03"
        << "03:00"
        << "07:00"
        << "23:59" << QList<Event>{}
        << daily + u"03:05:02 retry failed, 03:20:04 retry failed, 03:50:06 retry failed, "
                   u"04:50:08 retry failed, 05:50:10 retry failed, 06:50:12 retry failed, 07:50:14 retry"_s;
    QTest::newRow("a success by hand ends the series")
        << kDaily << "03"
        << "03:00"
        << "03:02"
        << "23:59" << QList<Event>{Button(u"2026-12-07 03:03:02"_s)} << daily + u"03:03:02 button"_s;
    QTest::newRow("a shorter interval comes first")
        << u"30 dakika 1 kopyala"_s << ""
        << "02:00"
        << "04:00"
        << "04:30" << QList<Event>{}
        << u"02:00:00 start failed, 02:05:02 retry failed, 02:20:04 retry failed, 02:50:06 interval failed, "
           u"03:20:08 interval failed, 03:50:10 interval failed, 04:20:12 interval"_s;
    QTest::newRow("the daily hour comes first")
        << kDaily << "05"
        << "02:00"
        << "05:30"
        << "23:59" << QList<Event>{}
        << u"02:00:00 start failed, 02:05:02 retry failed, 02:20:04 retry failed, 02:50:06 retry failed, "
           u"03:50:08 retry failed, 04:50:10 retry failed, 05:00:00 daily hour failed, 06:00:02 retry"_s;
    // The clock set back over the hour: a retry that succeeds before it leaves the date's daily run owed, so
    // the hour, coming again, runs it again (and the server, down again at that moment, fails it again).
    QTest::newRow("the daily run counts only once it succeeds")
        << kDaily << "03"
        << "03:00"
        << "03:01"
        << "23:59" << QList<Event>{Step(u"2026-12-07 03:01:00"_s, -3600 * 1000)}
        << daily + u"02:05:02 retry, 03:00:00 daily hour failed, 03:05:02 retry"_s;
}

// The server down for a while: the program tries again after 5, 15, 30 and 60 minutes, then hourly.
void tst_schedule::retries()
{
    QFETCH(QString, interval);
    QFETCH(QString, hour);
    QFETCH(QString, downFrom);
    QFETCH(QString, downUntil);
    QFETCH(QString, stop);
    QFETCH(QList<Event>, events);
    QFETCH(QString, runs);
    const auto at = [](const QString &time) { return At(u"2026-12-07 "_s + time + u":00"_s); };
    for (const qint64 tickMs : {qint64(1000), qint64(0)}) {
        Simulator simulator(at(u"02:00"_s), interval, hour, 2s, tickMs);
        simulator.failBetween(at(downFrom), at(downUntil));
        const QList<QDateTime> starts = simulator.run(at(stop), events);
        QCOMPARE(Runs(starts, simulator).join(u", "_s), runs);
    }
}

void tst_schedule::nextRunAfterFailures_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("failures");
    QTest::addColumn<QString>("label");

    QTest::newRow("daily failed") << kDaily << u"02:00:00"_s << 1 << u"02:05:02"_s;
    QTest::newRow("daily failed four times") << kDaily << u"02:00:00"_s << 4 << u"03:00:08"_s;
    QTest::newRow("the daily hour comes first") << kDaily << u"01:58:00"_s << 1 << u"02:00:00"_s;
    QTest::newRow("the minute comes first") << kMinute << u"10:00:00"_s << 1 << u"10:01:02"_s;
}

// After failed runs the next-copy label names the next run, a retry or a scheduled one, whichever comes
// first.
void tst_schedule::nextRunAfterFailures()
{
    QFETCH(QString, interval);
    QFETCH(QString, start);
    QFETCH(int, failures);
    QFETCH(QString, label);
    ManualClock clock(At(u"2026-12-07 "_s + start));
    BackupScheduler scheduler(clock, clock);
    scheduler.setInterval(interval);
    scheduler.setDailyHour(u"02"_s);
    for (int i = 0; i < failures; ++i) {
        QVERIFY(scheduler.startRun());
        clock.advance(2000);
        scheduler.runFinished(false);
    }
    QCOMPARE(scheduler.nextCopyText(), std::optional(label));

    // The label names the next run: a hidden window wakes for it, and it starts then, not before.
    const QDateTime next(clock.now().date(), QTime::fromString(label, u"HH:mm:ss"_s), kBerlin);
    clock.set(next.addSecs(-30));
    QCOMPARE(scheduler.nextWake(false), 30s + BackupScheduler::kPastTheSecond);
    QCOMPARE(scheduler.tick(), std::nullopt);
    clock.set(next);
    QVERIFY(scheduler.tick().has_value());
}

// The repeated hour of autumn: every minute a backup, and the second 02:00 names no file of the first.
void tst_schedule::autumnNightNamesNeverRepeat()
{
    Simulator simulator(At(u"2026-10-25 01:30:00"_s), kMinute, u"02"_s);
    const QList<QDateTime> starts = simulator.run(At(u"2026-10-25 03:30:00"_s));
    QVERIFY(starts.size() > 150); // two and a half hours of wall time, three of real time
    QSet<QString> made;
    for (const QDateTime &start : starts) {
        const BackupPlan plan =
            PlanBackup(u"STOK"_s, u"/y/"_s, start, [&](const QString &path) { return made.contains(path); });
        QVERIFY2(!made.contains(plan.filePath), qPrintable(plan.filePath));
        made.insert(plan.filePath);
    }
    // The repeated hour brings no runs of its own: one a minute (and two seconds) of real time.
    QVERIFY(starts.size() <= 3 * 3600 / 62 + 1);
}

void tst_schedule::problemsShownOthersGoOn()
{
    ManualClock clock(At(u"2026-12-07 10:00:00"_s));
    BackupScheduler scheduler(clock, clock);
    scheduler.setDailyHour(u"25"_s);
    scheduler.setInterval(kMinute);
    QCOMPARE(scheduler.problems().size(), 1);
    QCOMPARE(scheduler.problems().front().key, u"kopyalama-zamani"_s);
    QVERIFY(scheduler.problems().front().text.contains(u"\"25\""_s));
    QVERIFY(scheduler.startRun());
    scheduler.runFinished(true);
    clock.advance(60'000);
    QCOMPARE(scheduler.tick(), std::optional(RunCause::Interval));

    scheduler.setDailyHour(u"2"_s);
    scheduler.setInterval(u"her gün"_s);
    QCOMPARE(scheduler.problems().size(), 1);
    QCOMPARE(scheduler.problems().front().key, u"kopyalama-araligi"_s);
    scheduler.setInterval(kDaily);
    QVERIFY(scheduler.problems().isEmpty());
    QCOMPARE(scheduler.nextCopyText(), std::optional(u"02:00:00"_s));
}

void tst_schedule::hiddenTicksMeetEveryRunOnItsSecond_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("start");
    QTest::newRow("every minute") << kMinute << u"03"_s << u"2026-12-07 10:00:00"_s;
    QTest::newRow("every hour, autumn night") << kHourly << u"02"_s << u"2026-10-24 22:17:05"_s;
    QTest::newRow("six hours, spring night")
        << u"Altı saatte bir kopyala"_s << u"02"_s << u"2026-03-28 21:00:00"_s;
    QTest::newRow("daily at 02, spring night") << kDaily << u"02"_s << u"2026-03-27 10:00:00"_s;
    QTest::newRow("daily at 02, autumn night") << kDaily << u"02"_s << u"2026-10-23 10:00:00"_s;
    QTest::newRow("nothing chosen: midnight") << QString() << QString() << u"2026-12-07 10:00:00"_s;
}

// The window hidden, the clock sleeps until the schedule needs it: the same runs on the same seconds as with
// a tick every second, for far fewer ticks.
void tst_schedule::hiddenTicksMeetEveryRunOnItsSecond()
{
    QFETCH(QString, interval);
    QFETCH(QString, hour);
    QFETCH(QString, start);
    const QDateTime stop = At(start).addDays(3);
    Simulator everySecond(At(start), interval, hour);
    Simulator hidden(At(start), interval, hour, 2s, 0);
    const QStringList expected = Stamps(everySecond.run(stop));
    QVERIFY(expected.size() > 3);
    QCOMPARE(Stamps(hidden.run(stop)), expected);
    QVERIFY2(hidden.ticks * 10 < everySecond.ticks, qPrintable(QString::number(hidden.ticks)));
}

void tst_schedule::yearOfSleepsAndClockSteps_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<qint64>("tickMs");
    QTest::newRow("daily") << kDaily << qint64(20'000);
    QTest::newRow("every hour") << kHourly << qint64(20'000);
}

// A year with random sleeps and clock steps: every date awake past the daily hour gets exactly one daily
// run, no awake stretch between a run's end and the next start exceeds the interval plus a tick, and no
// file name repeats.
void tst_schedule::yearOfSleepsAndClockSteps()
{
    QFETCH(QString, interval);
    QFETCH(qint64, tickMs);
    const QDateTime start = At(u"2026-01-01 00:30:00"_s);
    const QDateTime stop = start.addDays(365);
    QRandomGenerator random(20261207);
    const qint64 steps[] = {-86400'000, -3600'000, -60'000, 60'000, 3600'000, 86400'000};
    QList<Event> events;
    for (QDateTime at = start.addSecs(3600); at < stop;
         at = at.addSecs(random.bounded(3 * 3600, 40 * 3600))) {
        if (random.bounded(3) == 0)
            events << Event{Event::Step, at, steps[random.bounded(6)], {}};
        else
            events << Event{Event::Sleep, at, qint64(random.bounded(60, 30 * 3600)) * 1000, {}};
    }
    Simulator simulator(start, interval, u"02"_s, 2s, tickMs);
    const QList<QDateTime> starts = simulator.run(stop, events);

    if (interval == kDaily) {
        QHash<QDate, int> runs;
        for (const QDateTime &when : starts.sliced(1))
            ++runs[when.date()];
        for (const QDate &date : simulator.awakeAfterHour)
            QVERIFY2(runs.value(date) == 1, qPrintable(date.toString()));
        QCOMPARE(runs.size(), simulator.awakeAfterHour.size());
        QVERIFY(runs.size() > 200);
    }

    if (const std::optional<std::chrono::seconds> length = IntervalLength(IntervalIndexOf(interval))) {
        for (qsizetype i = 1; i < starts.size(); ++i) {
            const auto awake =
                simulator.startsElapsed[i] - simulator.ends_[i - 1] - simulator.asleepBefore[i];
            QVERIFY2(awake <= *length + std::chrono::milliseconds(tickMs), qPrintable(Stamp(starts[i])));
        }
    }

    QSet<QString> made;
    for (const QDateTime &when : starts) {
        const QString path = PlanBackup(u"STOK"_s, u"/y/"_s, when, [&](const QString &p) {
                                 return made.contains(p);
                             }).filePath;
        QVERIFY(!made.contains(path));
        made.insert(path);
    }
}

// Events at elapsed minutes: s start, p progress, x a success of that many minutes, e end, c check. Each
// check gives the minutes told, or "-".
void tst_schedule::stallToldOncePerStall_data()
{
    QTest::addColumn<int>("longestMinutes");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("told");

    QTest::newRow("half an hour without progress") << 0 << u"s0 c29 c30 c31"_s << u"- 30 -"_s;
    QTest::newRow("quiet counted from the last progress") << 0 << u"s0 p20 c49 c51"_s << u"- 31"_s;
    QTest::newRow("again after progress") << 0 << u"s0 c30 p45 c74 c75 c200"_s << u"30 - 30 -"_s;
    QTest::newRow("twice a longer run's length") << 40 << u"s0 c30 c79 c80"_s << u"- - 80"_s;
    QTest::newRow("a short run keeps half an hour") << 10 << u"s0 c30"_s << u"30"_s;
    QTest::newRow("a longer success raises the bar") << 0 << u"x50 s0 c99 c100"_s << u"- 100"_s;
    QTest::newRow("nothing after the run") << 0 << u"s0 e10 c100 p101 c200"_s << u"- -"_s;
    QTest::newRow("a new run starts afresh") << 0 << u"s0 c30 e31 s40 c69 c70"_s << u"30 - 30"_s;
}

void tst_schedule::stallToldOncePerStall()
{
    QFETCH(int, longestMinutes);
    QFETCH(QString, events);
    QFETCH(QString, told);
    StallWatch watch;
    watch.setLongestSuccess(std::chrono::minutes(longestMinutes));
    QStringList seen;
    for (const QString &event : events.split(u' ')) {
        const std::chrono::milliseconds at = std::chrono::minutes(event.mid(1).toInt());
        const QChar kind = event.front();
        if (kind == u's')
            watch.start(at);
        else if (kind == u'p')
            watch.progress(at);
        else if (kind == u'x')
            watch.succeededIn(at);
        else if (kind == u'e')
            watch.stop();
        else if (const std::optional<int> minutes = watch.warning(at))
            seen << QString::number(*minutes);
        else
            seen << u"-"_s;
    }
    QCOMPARE(seen.join(u' '), told);
}

void tst_schedule::everyCauseReadsBackFromItsName()
{
    QSet<QString> names;
    QSet<QString> captions;
    for (int i = 0; i <= static_cast<int>(RunCause::Retry); ++i) {
        const auto cause = static_cast<RunCause>(i);
        QCOMPARE(RunCauseNamed(RunCauseName(cause)), std::optional(cause));
        names.insert(RunCauseName(cause));
        captions.insert(RunCauseCaption(cause));
    }
    QCOMPARE(names.size(), static_cast<int>(RunCause::Retry) + 1);
    QCOMPARE(captions.size(), names.size());
    QVERIFY(!RunCauseNamed(u"network change"_s));
}

QTEST_APPLESS_MAIN(tst_schedule)
#include "tst_schedule.moc"
