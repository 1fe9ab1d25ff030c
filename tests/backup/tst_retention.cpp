#include "backup/ApplyRetention.h"
#include "backup/BackupPlan.h"
#include "backup/MeasureSpace.h"
#include "backup/SpaceForecast.h"
#include "support/SystemQuestions.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_retention : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void runOrder_data();
    void runOrder();
    void applyInFolder();
    void invisibleFolder_data();
    void invisibleFolder();
    void forecast_data();
    void forecast();
    void runsPerDay_data();
    void runsPerDay();
};

static const QDateTime kNow(QDate(2026, 3, 7), QTime(12, 0, 0));
static const QString kNewest = u"20260307115000-STOK.bak"_s;
static const QString kOld = u"20260201000000-STOK.bak"_s;

enum Kind { File, Link, Folder };

// newest empty: the database's backup of ten minutes ago, put into the folder as well. newer: how many
// further runs since the file under test the history lists, their backups within the days kept; -1 for
// enough to leave it out of the newest kept whatever their dates.
static void Row(const char *tag, QStringView database, QStringView name, int keepDays, const char *expected,
                Kind kind = File, const QStringList &others = {}, QStringView newest = {}, int newer = -1)
{
    QTest::newRow(tag) << database.toString() << name.toString() << int(kind) << others << keepDays
                       << (newest.isEmpty() ? BackupFileName(database.toString(), kNow.addSecs(-600))
                                            : newest.toString())
                       << (newer < 0 ? std::max(keepDays, kMinBackupsKept) : newer) << expected;
}

void tst_retention::plan_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("others"); // further regular files in the folder
    QTest::addColumn<int>("keepDays");
    QTest::addColumn<QString>("newest"); // put into the folder unless it is "absent"
    QTest::addColumn<int>("newer");
    QTest::addColumn<QString>("expected"); // removed, kept, refused, or all refused

    const QStringList first{kOld};
    Row("old own file", u"STOK", kOld, 7, "removed");
    Row("recent own file", u"STOK", u"20260306000000-STOK.bak", 7, "kept");
    Row("exactly N days old", u"STOK", u"20260228120000-STOK.bak", 7, "kept");
    Row("a second past N days", u"STOK", u"20260228115959-STOK.bak", 7, "removed");
    Row("N = 0 keeps all", u"STOK", kOld, 0, "kept");
    Row("newest successful, old", u"STOK", kOld, 7, "refused", File, {}, kOld);
    Row("newest as the server's path", u"STOK", kOld, 7, "refused", File, {}, u"C:\\Yedek\\"_s + kOld);
    Row("newest not in this folder", u"STOK", kOld, 7, "all refused", File, {}, u"absent");
    Row("link", u"STOK", kOld, 7, "refused", Link);
    Row("folder", u"STOK", kOld, 7, "refused", Folder);
    Row("stamp in the future", u"STOK", u"20270101000000-STOK.bak", 7, "refused");
    Row("STOK2 is another database", u"STOK", u"20260201000000-STOK2.bak", 7, "kept");
    Row("STOK's file for STOK2", u"STOK2", kOld, 7, "kept");
    Row("second copy beside the first", u"STOK", u"20260201000000-STOK-2.bak", 7, "removed", File, first);
    Row("-2 alone may be STOK-2's", u"STOK", u"20260201000000-STOK-2.bak", 7, "kept");
    Row("STOK-2's own file", u"STOK-2", u"20260201000000-STOK-2.bak", 7, "removed");
    Row("STOK-2 leaves STOK's second copy", u"STOK-2", u"20260201000000-STOK-2.bak", 7, "kept", File, first);
    Row("copy number 1", u"STOK", u"20260201000000-STOK-1.bak", 7, "kept", File, first);
    Row("copy number 02", u"STOK", u"20260201000000-STOK-02.bak", 7, "kept", File, first);
    Row("sanitized database", u"A/B", u"20260201000000-A_B.bak", 7, "removed");
    Row("other letter case", u"STOK", u"20260201000000-stok.bak", 7, "kept");
    Row("other extension case", u"STOK", u"20260201000000-STOK.BAK", 7, "kept");
    Row("other extension", u"STOK", u"20260201000000-STOK.trn", 7, "kept");
    Row("month 13", u"STOK", u"20251301000000-STOK.bak", 7, "kept");
    Row("hour 24", u"STOK", u"20260201240000-STOK.bak", 7, "kept");
    Row("foreign name", u"STOK", u"STOK.bak", 7, "kept");
    Row("old, but among the newest 3", u"STOK", kOld, 1, "refused", File, {}, {}, 1);
    Row("old, the fourth newest", u"STOK", kOld, 1, "removed", File, {}, {}, 2);
    Row("old, among the newest 5 of 5 days", u"STOK", kOld, 5, "refused", File, {}, {}, 3);
}

void tst_retention::plan()
{
    QFETCH(QString, database);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QStringList, others);
    QFETCH(int, keepDays);
    QFETCH(QString, newest);
    QFETCH(int, newer);
    QFETCH(QString, expected);

    QList<FolderEntry> entries{{name, kind != Folder, kind == Link}};
    QStringList newestFirst{newest};
    for (int hour = 1; hour <= newer; ++hour) {
        newestFirst.append(BackupFileName(database, kNow.addSecs(-3600 * hour)));
        entries.append({newestFirst.last(), true, false});
    }
    for (const QString &other : others)
        entries.append({other, true, false});
    const QString newestName = newest.mid(newest.lastIndexOf(u'\\') + 1);
    if (newest != u"absent" && newestName != name)
        entries.append({newestName, true, false});

    const RetentionPlan plan = PlanRetention(entries, database, kNow, keepDays, newestFirst);
    bool refusedHere = false;
    bool folderRefused = false;
    for (const RetentionRefusal &refusal : plan.refusals) {
        QVERIFY(!refusal.reason.isEmpty() && refusal.reason.contains(refusal.name));
        refusedHere = refusedHere || refusal.name == name;
        folderRefused = folderRefused || refusal.name.isEmpty();
    }
    for (const QString &removed : plan.remove)
        QVERIFY2(removed == name || others.contains(removed), qPrintable(removed));
    const QString outcome = folderRefused && plan.remove.isEmpty() ? u"all refused"_s
                            : plan.remove.contains(name)           ? u"removed"_s
                            : refusedHere                          ? u"refused"_s
                                                                   : u"kept"_s;
    QCOMPARE(outcome, expected);
}

void tst_retention::runOrder_data()
{
    QTest::addColumn<QString>("files");   // "stamp:written" (yyyyMMdd each), this run's first
    QTest::addColumn<QString>("history"); // the stamps of the earlier successful runs, newest first
    QTest::addColumn<QString>("removed"); // with keep-days 1

    QTest::newRow("a name dated ahead takes no later run's place")
        << "20260307:20260307 20260306:20260306 20260305:20260305 20280101:20260304 20260301:20260301"
        << "20260306 20260305 20280101 20260301"
        << "20260301";
    QTest::newRow("unlisted backups by their last write, not their names")
        << "20260307:20260307 20260301:20260306 20260305:20260305 20260302:20260302"
        << ""
        << "20260302";
    QTest::newRow("listed runs before unlisted files")
        << "20260307:20260307 20260301:20260201 20260302:20260305 20260303:20260306"
        << "20260301"
        << "20260302";
}

void tst_retention::runOrder()
{
    QFETCH(QString, files);
    QFETCH(QString, history);
    QFETCH(QString, removed);

    const auto name = [](const QString &stamp) { return stamp + u"030000-STOK.bak"_s; };
    QList<FolderEntry> entries;
    for (const QString &file : files.split(u' ')) {
        const QStringList parts = file.split(u':');
        entries.append({name(parts[0]), true, false, 1, QDateTime::fromString(parts[1], u"yyyyMMdd"_s)});
    }
    QStringList newestFirst{entries.first().name};
    for (const QString &stamp : history.split(u' ', Qt::SkipEmptyParts))
        newestFirst.append(u"C:\\Yedek\\"_s + name(stamp));
    // As the folder lists them.
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.name < b.name; });
    QCOMPARE(PlanRetention(entries, u"STOK"_s, kNow, 1, newestFirst).remove, QStringList{name(removed)});
}

static void WriteFile(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(QByteArray(size, 'x')), size);
}

static bool SetWritten(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

void tst_retention::applyInFolder()
{
    if (const QString why = WithoutSymbolicLinks(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QTemporaryDir folder;
    QTemporaryDir outside;
    QVERIFY(folder.isValid() && outside.isValid());
    const QString oldCopy = u"20260201000000-STOK-2.bak"_s;
    const QString recent = u"20260306000000-STOK.bak"_s;
    const QString newestOld = u"20260204000000-STOK.bak"_s;
    const QString link = u"20260202000000-STOK.bak"_s;
    const QString subfolder = u"20260203000000-STOK.bak"_s;
    const QStringList staying{recent, newestOld, u"20260201000000-STOK2.bak"_s, u"notlar.txt"_s};
    WriteFile(folder.filePath(kOld), 100);
    WriteFile(folder.filePath(oldCopy), 20);
    WriteFile(folder.filePath(recent), 3);
    WriteFile(folder.filePath(newestOld), 4000);
    WriteFile(folder.filePath(staying[2]), 50000);
    WriteFile(folder.filePath(staying[3]), 600000);
    const QString target = outside.filePath(u"disarida.bak"_s);
    WriteFile(target, 7000000);
    QVERIFY(QFile::link(target, folder.filePath(link)));
    QVERIFY(QDir(folder.path()).mkpath(subfolder + u"/icinde.bak"_s));

    const Result<SpaceFigures> space = MeasureSpace(folder.path(), u"STOK"_s);
    QVERIFY(space.ok());
    QCOMPARE(space->backupsBytes, 100 + 20 + 3 + 4000);
    QVERIFY(space->freeBytes > 0);

    // Keeping a day: the newest three files stay, in the runs' order, then the others by their last write.
    const QDateTime written(QDate(2026, 2, 1), QTime(0, 0));
    QVERIFY(SetWritten(folder.filePath(oldCopy), written.addDays(1)));
    QVERIFY(SetWritten(folder.filePath(kOld), written));
    const Result<RetentionReport> report =
        ApplyRetention(folder.path(), u"STOK"_s, kNow, 1, QStringList{newestOld, recent});
    QVERIFY(report.ok());
    QCOMPARE(report->removed, QStringList{kOld});
    QStringList refused;
    for (const RetentionRefusal &refusal : report->refusals)
        refused.append(refusal.name);
    refused.sort();
    QCOMPARE(refused, (QStringList{oldCopy, link, subfolder, newestOld, recent}));
    QVERIFY(report->failures.isEmpty());
    QVERIFY(!QFileInfo::exists(folder.filePath(kOld)));
    for (const QString &name : staying + QStringList{oldCopy, link, subfolder + u"/icinde.bak"_s})
        QVERIFY2(QFileInfo::exists(folder.filePath(name)), qPrintable(name));
    QVERIFY(QFileInfo(folder.filePath(link)).isSymLink());
    QCOMPARE(QFileInfo(target).size(), 7000000);
}

void tst_retention::invisibleFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("server's drive") << "C:\\Yedek\\";
    QTest::newRow("missing here") << "/yok/boyle/bir/klasor/";
}

void tst_retention::invisibleFolder()
{
    QFETCH(QString, folder);
    const Result<RetentionReport> report = ApplyRetention(folder, u"STOK"_s, kNow, 7, {kNewest});
    QVERIFY(report.ok());
    QVERIFY(report->removed.isEmpty() && report->failures.isEmpty());
    QCOMPARE(report->refusals.size(), 1);
    QVERIFY(report->refusals[0].reason.contains(u"görülmüyor"_s));
    QVERIFY(!MeasureSpace(folder, u"STOK"_s).ok());
}

void tst_retention::forecast_data()
{
    constexpr qint64 kGb = 1LL << 30;
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<qint64>("backupsBytes");
    QTest::addColumn<qint64>("lastBytes");
    QTest::addColumn<double>("runsPerDay");
    QTest::addColumn<int>("keepDays");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("warn");

    QTest::newRow("12 days") << 125 * kGb << 0LL << 10 * kGb << 1.0 << 0 << "YER: 12 GÜN YETER" << false;
    QTest::newRow("twice a day") << 125 * kGb << 0LL << 10 * kGb << 2.0 << 0 << "YER: 6 GÜN YETER" << false;
    QTest::newRow("exactly 3 days") << 30 * kGb << 0LL << 10 * kGb << 1.0 << 0 << "YER: 3 GÜN YETER" << false;
    QTest::newRow("under 3 days") << 29 * kGb << 0LL << 10 * kGb << 1.0 << 0 << "YER: 2 GÜN YETER" << true;
    QTest::newRow("under a day") << 15 * kGb << 0LL << 10 * kGb << 2.0 << 0 << "YER: 1 GÜNDEN AZ" << true;
    QTest::newRow("retention fits exactly")
        << 20 * kGb << 60 * kGb << 10 * kGb << 1.0 << 7 << "YER: SÜREKLİ YETER" << false;
    QTest::newRow("retention fits, under two backups free")
        << 15 * kGb << 80 * kGb << 10 * kGb << 1.0 << 7 << "YER: SÜREKLİ YETER" << true;
    QTest::newRow("retention does not fit")
        << 100 * kGb << 50 * kGb << 10 * kGb << 1.0 << 30 << "YER: 10 GÜN YETER" << false;
    QTest::newRow("retention a byte short")
        << 20 * kGb - 1 << 60 * kGb << 10 * kGb << 1.0 << 7 << "YER: 1 GÜN YETER" << true;
    QTest::newRow("size unknown") << 100 * kGb << 0LL << -1LL << 1.0 << 7 << "" << false;
    QTest::newRow("no schedule, little room") << 15 * kGb << 0LL << 10 * kGb << 0.0 << 0 << "" << true;
}

void tst_retention::forecast()
{
    QFETCH(qint64, freeBytes);
    QFETCH(qint64, backupsBytes);
    QFETCH(qint64, lastBytes);
    QFETCH(double, runsPerDay);
    QFETCH(int, keepDays);
    QFETCH(QString, text);
    QFETCH(bool, warn);
    const SpaceForecast forecast = ForecastSpace(freeBytes, backupsBytes, lastBytes, runsPerDay, keepDays);
    QCOMPARE(forecast.text, text);
    QCOMPARE(forecast.warn, warn);
}

void tst_retention::runsPerDay_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("dailyHour");
    QTest::addColumn<double>("runs");

    const QList<std::pair<int, double>> choices{{1, 1440}, {30, 48}, {60, 24}, {120, 12},
                                                {240, 6},  {360, 4}, {720, 2}, {1440, 1}};
    for (const auto &[minutes, runs] : choices)
        QTest::addRow("%d min", minutes) << minutes << false << runs;
    QTest::newRow("hourly and a daily hour") << 60 << true << 25.0;
    QTest::newRow("daily with its hour") << 1440 << true << 1.0;
    QTest::newRow("daily hour only") << 0 << true << 1.0;
    QTest::newRow("nothing scheduled") << 0 << false << 0.0;
}

void tst_retention::runsPerDay()
{
    QFETCH(int, minutes);
    QFETCH(bool, dailyHour);
    QFETCH(double, runs);
    QCOMPARE(RunsPerDay(minutes, dailyHour), runs);
}

QTEST_GUILESS_MAIN(tst_retention)
#include "tst_retention.moc"
