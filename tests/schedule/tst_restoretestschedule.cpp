#include "schedule/RestoreTestSchedule.h"
#include "support/ManualClock.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The days a restore test runs on, over simulated weeks, and how it gives way to backups.
class tst_restoretestschedule : public QObject {
    Q_OBJECT

private slots:
    void testDays_data();
    void testDays();
    void backupsAndTestsNeverOverlap_data();
    void backupsAndTestsNeverOverlap();
};

void tst_restoretestschedule::testDays_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hour");     // -1: no daily hour
    QTest::addColumn<int>("lastTest"); // the day of the last test (at 12:00); -1: none yet
    // "D:HH" then what ends then: + a good backup, - a failed one, x one whose verification failed,
    // ? the user asks for a test.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("tests"); // "D:HH" of each test started

    QTest::newRow("off") << 0 << 10 << -1 << u"0:14+ 1:14+ 8:14?"_s << u"8:14"_s;
    QTest::newRow("first ever, from the hour on") << 7 << 10 << -1 << u"0:09+ 0:10+ 0:11+"_s << u"0:10"_s;
    QTest::newRow("a week on: only a good backup after the hour")
        << 7 << 10 << 0 << u"6:12+ 7:09+ 7:10- 7:11x 7:12+ 7:13+ 8:12+"_s << u"7:12"_s;
    QTest::newRow("daily, no hour set")
        << 1 << -1 << -1 << u"0:03+ 0:04+ 1:00+ 1:23+ 2:00+"_s << u"0:03 1:00 2:00"_s;
    QTest::newRow("machine off past the day: next good backup")
        << 3 << 2 << 0 << u"10:01+ 10:05+ 11:05+"_s << u"10:05"_s;
    QTest::newRow("asked for: counts as the day's test")
        << 1 << 0 << 1 << u"2:05? 2:06+ 3:00+"_s << u"2:05 3:00"_s;
    QTest::newRow("clock set back gives no second test")
        << 1 << 0 << -1 << u"5:10+ 4:10+ 5:11+ 6:00+"_s << u"5:10 6:00"_s;
}

void tst_restoretestschedule::testDays()
{
    QFETCH(int, days);
    QFETCH(int, hour);
    QFETCH(int, lastTest);
    QFETCH(QString, events);
    QFETCH(QString, tests);

    const QDate start(2026, 12, 1);
    ManualClock clock(QDateTime(start, QTime(0, 0)));
    RestoreTestSchedule schedule(clock, clock);
    schedule.setDays(days);
    schedule.setDailyHour(hour < 0 ? std::nullopt : std::optional(hour));
    if (lastTest >= 0)
        schedule.setLastTest(QDateTime(start.addDays(lastTest), QTime(12, 0)));

    QStringList started;
    for (const QString &event : events.split(u' ')) {
        const QString when = event.chopped(1);
        clock.set(QDateTime(start.addDays(when.section(u':', 0, 0).toInt()),
                            QTime(when.section(u':', 1).toInt(), 0)));
        const QChar what = event.back();
        schedule.backupStarted();
        const bool began = what == u'?' ? (schedule.backupFinished(), schedule.requestTest())
                                        : schedule.backupEnded(what != u'-', what == u'x');
        if (began) {
            started << when;
            schedule.testFinished();
        }
    }
    QCOMPARE(started.join(u' '), tests);
}

void tst_restoretestschedule::backupsAndTestsNeverOverlap_data()
{
    QTest::addColumn<qint64>("testMinutes");
    QTest::addColumn<int>("intervalMinutes"); // 0: daily backups only
    QTest::addColumn<bool>("cancel");

    QTest::newRow("shorter than the interval: the backup waits") << qint64(20) << 30 << false;
    QTest::newRow("longer than the interval: cancelled") << qint64(31) << 30 << true;
    QTest::newRow("daily backups only: never cancelled") << qint64(600) << 0 << false;
}

void tst_restoretestschedule::backupsAndTestsNeverOverlap()
{
    QFETCH(qint64, testMinutes);
    QFETCH(int, intervalMinutes);
    QFETCH(bool, cancel);

    ManualClock clock;
    RestoreTestSchedule schedule(clock, clock);
    schedule.backupStarted();
    QVERIFY(!schedule.requestTest());
    schedule.backupFinished();
    QVERIFY(schedule.requestTest());
    QVERIFY(!schedule.requestTest());
    QVERIFY(!schedule.backupMayStart());
    clock.advance(testMinutes * 60'000);
    const auto interval =
        intervalMinutes > 0 ? std::optional(std::chrono::seconds(intervalMinutes * 60)) : std::nullopt;
    QCOMPARE(schedule.mustCancelFor(interval), cancel);
    schedule.testFinished();
    QVERIFY(schedule.backupMayStart());
    QVERIFY(!schedule.mustCancelFor(1s));
}

QTEST_GUILESS_MAIN(tst_restoretestschedule)
#include "tst_restoretestschedule.moc"
