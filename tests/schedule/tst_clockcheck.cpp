#include "backup/BackupPlan.h"
#include "backup/Retention.h"
#include "schedule/ClockCheck.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kHourMs = 3'600'000;
const QDateTime kRight(QDate(2026, 12, 7), QTime(3, 0));
constexpr qint64 kElapsed = 960 * kHourMs; // the elapsed clock of boot-1 at the right time

// A successful run `hoursAgo` before the right time, as the history recorded it.
RunRecord Run(qint64 hoursAgo, bool doubted = false)
{
    RunRecord run;
    run.started = run.ended = kRight.addMSecs(-hoursAgo * kHourMs);
    run.ok = true;
    run.file = u"C:\\Yedek\\"_s + BackupFileName(u"STOK"_s, run.started);
    run.endedElapsedMs = kElapsed - hoursAgo * kHourMs;
    run.bootId = u"boot-1"_s;
    run.clockSuspect = doubted;
    return run;
}

// What a run at `now` removes with keep-days 1, and its clock warning.
std::pair<QStringList, QString> RunAt(const QList<RunRecord> &runs, const ClockReading &now)
{
    const QString own = BackupFileName(u"STOK"_s, now.wall);
    QList<FolderEntry> entries{{own, true, false}};
    QStringList newestFirst{own};
    for (const RunRecord &run : runs) {
        entries.append({run.file.mid(9), true, false});
        newestFirst.append(run.file);
    }
    const std::optional<QString> doubt =
        ClockDoubt(now, GatherClockEvidence(runs, OwnBackups(entries, u"STOK"_s), own));
    if (doubt)
        return {{}, *doubt};
    return {PlanRetention(entries, u"STOK"_s, now.wall, 1, newestFirst).remove, {}};
}

} // namespace

class tst_clockcheck : public QObject {
    Q_OBJECT

private slots:
    void wrongClock_data();
    void wrongClock();
};

void tst_clockcheck::wrongClock_data()
{
    QTest::addColumn<QDateTime>("wall");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("boot");
    QTest::addColumn<bool>("earlierDoubt"); // the last run was made under a clock 400 days ahead
    QTest::addColumn<QString>("warnedAt");  // the time the warning shows; empty: none

    const QString boot = u"boot-1"_s;
    const QString reboot = u"boot-2"_s;
    const QDateTime ahead = kRight.addDays(400);
    QTest::newRow("+1 day") << kRight.addDays(1) << kElapsed << boot << false << "";
    QTest::newRow("+1 day and a minute")
        << kRight.addSecs(86'460) << kElapsed << boot << false << "08.12.2026 03:01";
    QTest::newRow("+400 days") << ahead << kElapsed << boot << false << "11.01.2028 03:00";
    QTest::newRow("+400 days asleep") << ahead << kElapsed + 9600 * kHourMs << boot << false << "";
    QTest::newRow("+400 days after a reboot") << ahead << 5000LL << reboot << false << "";
    QTest::newRow("+400 days, boot unknown") << ahead << kElapsed << QString() << false << "";
    QTest::newRow("still +400 days after a reboot")
        << ahead << 5000LL << reboot << true << "11.01.2028 03:00";
    QTest::newRow("set right after a doubt") << kRight << 5000LL << reboot << true << "";
    QTest::newRow("year 2099") << QDateTime(QDate(2099, 1, 1), QTime(3, 0)) << kElapsed << boot << false
                               << "01.01.2099 03:00";
    QTest::newRow("year 2000") << QDateTime(QDate(2000, 1, 1), QTime(3, 0)) << 5000LL << reboot << false
                               << "01.01.2000 03:00";
    QTest::newRow("set back a week") << kRight.addDays(-7) << 5000LL << reboot << false << "30.11.2026 03:00";
}

// The tester's three good backups, 12 h, 30 h and 3 days old: whatever the clock reads, what goes is only
// what the right clock would remove.
void tst_clockcheck::wrongClock()
{
    QFETCH(QDateTime, wall);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, boot);
    QFETCH(bool, earlierDoubt);
    QFETCH(QString, warnedAt);

    QList<RunRecord> runs{Run(12), Run(30), Run(72)};
    if (earlierDoubt)
        runs.prepend(Run(1 - 9600, true));
    const auto [rightRemoved, rightWarning] = RunAt(runs, {kRight, kElapsed, u"boot-1"_s});
    QVERIFY(rightWarning.isEmpty());
    const auto [removed, warning] = RunAt(runs, {wall, elapsedMs, boot});
    QCOMPARE(warning, warnedAt.isEmpty()
                          ? QString()
                          : u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: saat %1, son yedekleme "
                            "06.12.2026 15:00. Eski yedekler silinmedi; saati düzeltin."_s.arg(warnedAt));
    for (const QString &name : removed)
        QVERIFY2(rightRemoved.contains(name), qPrintable(name));
}

QTEST_GUILESS_MAIN(tst_clockcheck)
#include "tst_clockcheck.moc"
