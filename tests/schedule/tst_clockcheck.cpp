#include "backup/BackupPlan.h"
#include "backup/Retention.h"
#include "schedule/ClockCheck.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kHourMs = 60LL * 60 * 1000;
constexpr qint64 kDayMs = 24 * kHourMs;
const QString kBoot = u"boot-1"_s;
// The right time of the run under test, and the elapsed clock then.
const QDateTime kRight(QDate(2026, 12, 7), QTime(3, 0));
constexpr qint64 kElapsedNow = 40 * kDayMs;

RunRecord Run(const QDateTime &started, bool doubted = false)
{
    RunRecord run;
    run.started = started;
    run.ended = started.addSecs(60);
    run.ok = true;
    run.file = u"C:\\Yedek\\"_s + BackupFileName(u"STOK"_s, started);
    const qint64 ago = started.msecsTo(kRight) - 60'000;
    run.startedElapsedMs = kElapsedNow - ago - 60'000;
    run.endedElapsedMs = kElapsedNow - ago;
    run.bootId = kBoot;
    run.clockSuspect = doubted;
    return run;
}

// The three good backups of the tester's machine (12 h, 30 h and 3 days old), each a run the history
// recorded under the right clock; `doubted`: one more run since, dated by a clock 400 days ahead.
struct Scene {
    QList<RunRecord> runs; // newest first
    QList<FolderEntry> entries;
};

Scene MakeScene(bool doubted)
{
    Scene scene;
    for (const qint64 hoursAgo : {72, 30, 12})
        scene.runs.prepend(Run(kRight.addMSecs(-hoursAgo * kHourMs)));
    if (doubted)
        scene.runs.prepend(Run(kRight.addDays(400).addMSecs(-kHourMs), true));
    for (const RunRecord &run : scene.runs)
        scene.entries.append({run.file.mid(9), true, false, 1000, run.ended});
    return scene;
}

QStringList Names(const QList<RunRecord> &runs)
{
    QStringList names;
    for (const RunRecord &run : runs)
        names.append(run.file);
    return names;
}

// What retention removes when this run's clock reads `wall`: nothing while the clock is in doubt.
QStringList Removed(const Scene &scene, const ClockReading &reading, int keepDays, bool &doubted)
{
    const QString own = BackupFileName(u"STOK"_s, reading.wall);
    QList<FolderEntry> entries = scene.entries;
    entries.append({own, true, false, 1000, reading.wall});
    const std::optional<QString> doubt =
        ClockDoubt(reading, GatherClockEvidence(scene.runs, OwnBackups(entries, u"STOK"_s), own));
    doubted = doubt.has_value();
    if (doubt)
        return {};
    return PlanRetention(entries, u"STOK"_s, reading.wall, keepDays, QStringList{own} + Names(scene.runs))
        .remove;
}

} // namespace

Q_DECLARE_METATYPE(ClockEvidence)
Q_DECLARE_METATYPE(ClockReading)

class tst_clockcheck : public QObject {
    Q_OBJECT

private slots:
    void doubt_data();
    void doubt();
    void wrongClock_data();
    void wrongClock();
};

void tst_clockcheck::doubt_data()
{
    QTest::addColumn<ClockEvidence>("evidence");
    QTest::addColumn<ClockReading>("now");
    QTest::addColumn<QString>("expected"); // empty: trusted

    const QDateTime lastEnd = kRight.addSecs(-3600);
    const ClockReading last{lastEnd, kElapsedNow - kHourMs, kBoot};
    const auto at = [](const QDateTime &wall, qint64 elapsedMs = kElapsedNow, const QString &boot = kBoot) {
        return ClockReading{wall, elapsedMs, boot};
    };
    const auto doubt = [](const char *now, const char *before) {
        return u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: saat %1, son yedekleme %2. Eski yedekler silinmedi; "
               "saati düzeltin."_s.arg(QLatin1StringView(now), QLatin1StringView(before));
    };
    const QDateTime ahead = kRight.addDays(399);

    QTest::newRow("no run before") << ClockEvidence() << at(kRight) << "";
    QTest::newRow("an hour after the last run")
        << ClockEvidence{lastEnd, lastEnd, last, {}} << at(kRight) << "";
    QTest::newRow("before a backup's name") << ClockEvidence{kRight.addSecs(60), lastEnd, last, {}}
                                            << at(kRight) << doubt("07.12.2026 03:00", "07.12.2026 03:01");
    QTest::newRow("before the latest run") << ClockEvidence{{}, kRight.addDays(7), {}, {}} << at(kRight)
                                           << doubt("07.12.2026 03:00", "14.12.2026 03:00");
    QTest::newRow("a day ahead of elapsed time")
        << ClockEvidence{lastEnd, lastEnd, last, {}} << at(kRight.addDays(1)) << "";
    QTest::newRow("a day and a second ahead")
        << ClockEvidence{lastEnd, lastEnd, last, {}} << at(kRight.addDays(1).addSecs(1))
        << doubt("08.12.2026 03:00", "07.12.2026 02:00");
    QTest::newRow("400 days of sleep") << ClockEvidence{lastEnd, lastEnd, last, {}}
                                       << at(kRight.addDays(400), kElapsedNow + 400 * kDayMs) << "";
    QTest::newRow("400 days ahead, another boot")
        << ClockEvidence{lastEnd, lastEnd, last, {}} << at(kRight.addDays(400), 5000, u"boot-2"_s) << "";
    QTest::newRow("boot unknown") << ClockEvidence{lastEnd, lastEnd, {lastEnd, kElapsedNow - kHourMs, {}}, {}}
                                  << at(kRight.addDays(400), kElapsedNow, {}) << "";
    QTest::newRow("still ahead as when doubted")
        << ClockEvidence{lastEnd, lastEnd, last, ahead} << at(ahead.addSecs(7200), 5000, u"boot-2"_s)
        << doubt("10.01.2028 05:00", "07.12.2026 02:00");
    QTest::newRow("set right after a doubt")
        << ClockEvidence{lastEnd, lastEnd, last, ahead} << at(kRight, 5000, u"boot-2"_s) << "";
}

void tst_clockcheck::doubt()
{
    QFETCH(ClockEvidence, evidence);
    QFETCH(ClockReading, now);
    QFETCH(QString, expected);
    QCOMPARE(ClockDoubt(now, evidence).value_or(QString()), expected);
}

void tst_clockcheck::wrongClock_data()
{
    QTest::addColumn<QDateTime>("wall");
    QTest::addColumn<QString>("boot");
    QTest::addColumn<bool>("earlierDoubt"); // a run under a clock 400 days ahead came before
    QTest::addColumn<int>("keepDays");
    QTest::addColumn<bool>("doubted");

    const QString reboot = u"boot-2"_s;
    for (const int keepDays : {1, 2}) {
        QTest::addRow("+1 day, keep %d", keepDays)
            << kRight.addDays(1) << kBoot << false << keepDays << false;
        QTest::addRow("+3 days, keep %d", keepDays)
            << kRight.addDays(3) << kBoot << false << keepDays << true;
        QTest::addRow("+400 days, keep %d", keepDays)
            << kRight.addDays(400) << kBoot << false << keepDays << true;
        QTest::addRow("+400 days after a reboot, keep %d", keepDays)
            << kRight.addDays(400) << reboot << false << keepDays << false;
        QTest::addRow("year 2099, keep %d", keepDays)
            << QDateTime(QDate(2099, 1, 1), QTime(3, 0)) << kBoot << false << keepDays << true;
        QTest::addRow("year 2000, keep %d", keepDays)
            << QDateTime(QDate(2000, 1, 1), QTime(3, 0)) << reboot << false << keepDays << true;
        QTest::addRow("set back a week, keep %d", keepDays)
            << kRight.addDays(-7) << reboot << false << keepDays << true;
        QTest::addRow("still 400 days ahead after a reboot, keep %d", keepDays)
            << kRight.addDays(400) << reboot << true << keepDays << true;
        QTest::addRow("set right after a doubt, keep %d", keepDays)
            << kRight << reboot << true << keepDays << false;
    }
}

// Whatever the clock reads, what goes is only what the right clock would remove.
void tst_clockcheck::wrongClock()
{
    QFETCH(QDateTime, wall);
    QFETCH(QString, boot);
    QFETCH(bool, earlierDoubt);
    QFETCH(int, keepDays);
    QFETCH(bool, doubted);

    const Scene scene = MakeScene(earlierDoubt);
    const qint64 elapsedMs = boot == kBoot ? kElapsedNow : 5000;
    bool doubtedRight = true;
    const QStringList right = Removed(scene, {kRight, elapsedMs, boot}, keepDays, doubtedRight);
    QVERIFY(!doubtedRight);
    bool doubtedWrong = false;
    const QStringList wrong = Removed(scene, {wall, elapsedMs, boot}, keepDays, doubtedWrong);
    QCOMPARE(doubtedWrong, doubted);
    for (const QString &name : wrong)
        QVERIFY2(right.contains(name), qPrintable(name + u" is removed, the right clock keeps it"_s));
}

QTEST_GUILESS_MAIN(tst_clockcheck)
#include "tst_clockcheck.moc"
