#include "history/RestoreTestLog.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// What the history answers after a series of restore tests: whose scratch database is left, whether
// retention waits, whether a success was said this week.
class tst_restoretestlog : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void unfinishedTestStaysOurs();
};

void tst_restoretestlog::answers_data()
{
    QTest::addColumn<QString>("tests"); // per test, day then verdict: c clean, d damaged, n not restored,
                                        // s skipped, r refused; "!" its scratch left behind
    QTest::addColumn<bool>("ours");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("cleanThisWeek"); // as of day 10

    QTest::newRow("none") << QString() << false << false << false;
    QTest::newRow("clean") << u"9c"_s << false << false << true;
    QTest::newRow("clean over a week ago") << u"2c"_s << false << false << false;
    QTest::newRow("drop failed") << u"9c!"_s << true << false << true;
    QTest::newRow("dropped at the next test") << u"8c! 9c"_s << false << false << true;
    QTest::newRow("damage pauses retention") << u"8c 9d"_s << false << true << true;
    QTest::newRow("failures after damage keep it paused") << u"7d 8n 9s"_s << false << true << false;
    QTest::newRow("a later clean test resumes it") << u"7d 9c"_s << false << false << true;
    QTest::newRow("refused: someone else's") << u"8c! 9r"_s << false << false << true;
}

void tst_restoretestlog::answers()
{
    QFETCH(QString, tests);
    QFETCH(bool, ours);
    QFETCH(bool, paused);
    QFETCH(bool, cleanThisWeek);

    QTemporaryDir dir;
    const RestoreTestLog log(dir.path());
    const QDate start(2026, 12, 1);
    const QHash<QChar, RestoreVerdict> verdicts = {{u'c', RestoreVerdict::Clean},
                                                   {u'd', RestoreVerdict::Damaged},
                                                   {u'n', RestoreVerdict::NotRestored},
                                                   {u's', RestoreVerdict::Skipped},
                                                   {u'r', RestoreVerdict::Refused}};
    for (const QString &test : tests.split(u' ', Qt::SkipEmptyParts)) {
        RestoreTestRecord record;
        record.started = QDateTime(start.addDays(test.left(1).toInt()), QTime(12, 0));
        record.ended = record.started.addSecs(60);
        record.scratchName = u"STOK_YEDEK_DENEMESI"_s;
        record.verdict = verdicts.value(test.at(1));
        record.left = test.endsWith(u'!');
        QVERIFY(log.append(record));
    }
    const QDateTime now(start.addDays(10), QTime(12, 0));
    QCOMPARE(log.isOurs(u"STOK_YEDEK_DENEMESI"_s).value(), ours);
    QCOMPARE(log.isOurs(u"BASKA_YEDEK_DENEMESI"_s).value(), false);
    QCOMPARE(log.retentionPaused().value(), paused);
    QCOMPARE(log.cleanWithinWeek(now).value(), cleanThisWeek);
}

// A test cut off while it made the scratch database leaves it recorded as ours; finishing says how it
// ended, every field read back as written.
void tst_restoretestlog::unfinishedTestStaysOurs()
{
    QTemporaryDir dir;
    const RestoreTestLog log(dir.path());
    RestoreTestRecord record;
    record.started = QDateTime(QDate(2026, 12, 7), QTime(3, 0));
    record.ended = record.started;
    record.scratchName = u"O'Hara]_YEDEK_DENEMESI"_s;
    const Result<qint64> id = log.begin(record);
    QVERIFY(id);
    QVERIFY(log.isOurs(record.scratchName).value());
    QVERIFY(!log.last().value()->finished);

    record.ended = record.started.addSecs(300);
    record.verdict = RestoreVerdict::Damaged;
    record.allocationErrors = 1;
    record.consistencyErrors = 3;
    record.firstErrors = {u"8928: Object ID 1"_s, u"8939: Table error"_s};
    record.reason = u"Veritabanında bozukluk bulundu."_s;
    record.backupFile = u"20261207030000-STOK.bak"_s;
    QVERIFY(log.finish(id.value(), record));
    const RestoreTestRecord read = *log.last().value();
    QVERIFY(!log.isOurs(record.scratchName).value());
    QVERIFY(read.finished);
    QCOMPARE(read.ended, record.ended);
    QCOMPARE(read.verdict, record.verdict);
    QCOMPARE(read.firstErrors, record.firstErrors);
    QCOMPARE((QList<int>{read.allocationErrors, read.consistencyErrors}), (QList<int>{1, 3}));
    QCOMPARE(read.reason, record.reason);
    QCOMPARE(read.backupFile, record.backupFile);
}

QTEST_GUILESS_MAIN(tst_restoretestlog)
#include "tst_restoretestlog.moc"
