#include "app/BackupController.h"
#include "app/RestoreTestController.h"
#include "backup/RunBackup.h"
#include "history/RestoreTestLog.h"
#include "schedule/BackupRunner.h"
#include "schedule/Schedule.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "support/FakeBackup.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"
#include "support/TestServer.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using tdstest::Damage;

// The restore test as the program makes it: after the backup its schedule names, through the driver
// against the loopback server, told to the user and kept in the history; retention held after damage.
class tst_restoretests : public QObject {
    Q_OBJECT

private slots:
    void init();
    void testFollowsTheDueBackup_data();
    void testFollowsTheDueBackup();
    void retentionWaitsForACleanTest();
    void testLongerThanTheIntervalGivesWay();
    void programEndCutsTheTestOff();
    void leftoverOfOursGoesAtStart_data();
    void leftoverOfOursGoesAtStart();

private:
    QString backUp();

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<tdstest::TdsTestServer> server_;
    QTemporaryDir data_;
};

void tst_restoretests::init()
{
    program_ = std::make_unique<ProgramFolder>();
    server_ = StartTestServer();
    QVERIFY(server_);
    server_->setBackupDuration(10);
    server_->setDataFolder(data_.path());
    QVERIFY(program_->write(server_->port(), {.dailyHour = u"10"_s}));
    QVERIFY(WriteSetting(SettingsFiles::kSection, SettingsFiles::kRestoreTestDays, u"7"_s,
                         SettingsFiles::BackupFile(program_->path())));
}

// A whole backup file the server made, for the fake run to hand back.
QString tst_restoretests::backUp()
{
    const ProgramSettings settings;
    const ConnectionValues values{u"127.0.0.1"_s, QString::number(server_->port()), settings.database,
                                  settings.login, settings.password};
    return RunBackup(values, program_->backupFolder(), QDateTime(QDate(2026, 12, 7), QTime(10, 0))).filePath;
}

void tst_restoretests::testFollowsTheDueBackup_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("failure");

    QTest::newRow("clean") << Damage::None << u"GERİ YÜKLEME DENEMESİ BAŞARILI"_s << false;
    QTest::newRow("damaged") << Damage::Consistency << u"VERİTABANINDA BOZUKLUK BULUNDU"_s << true;
}

void tst_restoretests::testFollowsTheDueBackup()
{
    QFETCH(Damage, damage);
    QFETCH(QString, title);
    QFETCH(bool, failure);

    server_->setDamage(damage);
    FakeBackup fake;
    fake.result.filePath = backUp();
    QVERIFY(!fake.result.filePath.isEmpty());
    ManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    BackupController backups(program_->path(), clock, clock, fake.runner(), fake.cancel);
    auto *tests = new RestoreTestController(backups, clock);
    QSignalSpy notices(tests, &RestoreTestController::notice);
    QSignalSpy states(tests, &RestoreTestController::stateChanged);
    QSignalSpy finished(&backups, &BackupController::runFinished);

    // Before the daily hour: no test.
    backups.runNow();
    QVERIFY(finished.wait());
    QVERIFY(!tests->isRunning());
    clock.setTime(QTime(10, 30));
    backups.runNow();
    QVERIFY(finished.wait());
    QVERIFY(tests->isRunning());
    // No backup starts while the test runs.
    backups.runNow();
    QVERIFY(!backups.isRunInFlight());

    QVERIFY(notices.wait(10'000));
    QCOMPARE(notices.constFirst().at(0).value<RunNotice>().title, title);
    QCOMPARE(notices.constFirst().at(0).value<RunNotice>().failure, failure);
    QVERIFY(states.contains(QVariantList{u"GERİ YÜKLEME DENEMESİ… %100"_s}));
    QCOMPARE(states.constLast().at(0).toString(), QString());
    QVERIFY(!server_->databases().contains(u"STOK_YEDEK_DENEMESI"_s));
    const auto last = RestoreTestLog(program_->path()).last();
    QVERIFY(last && last.value());
    QCOMPARE(last.value()->backupFile, fake.result.filePath);
    QCOMPARE(last.value()->consistencyErrors, damage == Damage::None ? 0 : 3);
    QCOMPARE(fake.runs.load(), 2);
}

// A backup falls due every minute; a test still running after one is cancelled on the server, its
// scratch database dropped, and the backup that waited starts.
void tst_restoretests::testLongerThanTheIntervalGivesWay()
{
    QVERIFY(program_->write(server_->port(), {.dailyHour = u"10"_s, .interval = IntervalChoices().at(0)}));
    QVERIFY(WriteSetting(SettingsFiles::kSection, SettingsFiles::kRestoreTestDays, u"7"_s,
                         SettingsFiles::BackupFile(program_->path())));
    FakeBackup fake;
    fake.result.filePath = backUp();
    server_->setBackupDuration(60'000);
    ManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 30)));
    BackupController backups(program_->path(), clock, clock, fake.runner(), fake.cancel);
    backups.loadSchedule();
    auto *tests = new RestoreTestController(backups, clock);
    QSignalSpy notices(tests, &RestoreTestController::notice);
    QSignalSpy states(tests, &RestoreTestController::stateChanged);
    QSignalSpy finished(&backups, &BackupController::runFinished);

    backups.runNow();
    QVERIFY(finished.wait());
    QTRY_VERIFY(states.contains(QVariantList{u"GERİ YÜKLEME DENEMESİ… %10"_s}));
    clock.advance(61'000);
    backups.tick();
    QCOMPARE(fake.runs.load(), 1);
    QVERIFY(notices.wait(10'000));
    const auto notice = notices.constFirst().at(0).value<RunNotice>();
    QCOMPARE(notice.title, u"GERİ YÜKLEME DENEMESİ YAPILAMADI"_s);
    QVERIFY2(notice.text.contains(u"durduruldu"_s), qPrintable(notice.text));
    QCOMPARE(server_->attentionCount(), 1);
    QVERIFY(!server_->databases().contains(u"STOK_YEDEK_DENEMESI"_s));
    QVERIFY(finished.wait());
    QCOMPARE(fake.runs.load(), 2);
}

// The program ends during a restore of hours: the test is cut off, its scratch database still dropped,
// and the history says it ended.
void tst_restoretests::programEndCutsTheTestOff()
{
    FakeBackup fake;
    fake.result.filePath = backUp();
    server_->setBackupDuration(3'600'000);
    ManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 30)));
    QElapsedTimer ending;
    {
        BackupController backups(program_->path(), clock, clock, fake.runner(), fake.cancel);
        auto *tests = new RestoreTestController(backups, clock);
        QSignalSpy states(tests, &RestoreTestController::stateChanged);
        QSignalSpy finished(&backups, &BackupController::runFinished);
        backups.runNow();
        QVERIFY(finished.wait());
        QTRY_VERIFY(states.contains(QVariantList{u"GERİ YÜKLEME DENEMESİ… %10"_s}) ||
                    server_->databases().contains(u"STOK_YEDEK_DENEMESI"_s));
        ending.start();
    }
    QVERIFY2(ending.elapsed() < 30'000, qPrintable(QString::number(ending.elapsed())));
    QVERIFY(!server_->databases().contains(u"STOK_YEDEK_DENEMESI"_s));
    const auto last = RestoreTestLog(program_->path()).last();
    QVERIFY(last && last.value());
    QVERIFY(last.value()->finished);
    QVERIFY(!last.value()->left);
}

// Old backups stay while the last test that checked a database found damage, and go after a clean one.
void tst_restoretests::retentionWaitsForACleanTest()
{
    QVERIFY(WriteSetting(SettingsFiles::kSection, SettingsFiles::kKeepDays, u"1"_s,
                         SettingsFiles::BackupFile(program_->path())));
    const QStringList old{u"20261101100000-STOK.bak"_s, u"20261102100000-STOK.bak"_s,
                          u"20261103100000-STOK.bak"_s, u"20261104100000-STOK.bak"_s};
    ManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
    const RestoreTestLog log(program_->path());
    for (const RestoreVerdict verdict : {RestoreVerdict::Damaged, RestoreVerdict::Clean}) {
        for (const QString &name : old) {
            QFile file(program_->backupPath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        RestoreTestRecord record;
        record.started = clock.now();
        record.ended = clock.now();
        record.scratchName = u"STOK_YEDEK_DENEMESI"_s;
        record.verdict = verdict;
        QVERIFY(log.append(record));
        clock.advance(60'000);
        const BackupResult result = MakeBackupRunner(
            program_->path(), [&clock] { return clock.now(); }, clock)();
        QVERIFY2(result.ok, qPrintable(result.reason));
        const bool held = verdict == RestoreVerdict::Damaged;
        QCOMPARE(result.removed.join(u'\n').contains(u"bozukluk bulundu"_s), held);
        // The newest few stay in any case; the others go unless held.
        const qsizetype kept = std::count_if(old.cbegin(), old.cend(), [this](const QString &name) {
            return QFile::exists(program_->backupPath(name));
        });
        QVERIFY2((kept == old.size()) == held, qPrintable(result.removed.join(u'\n')));
    }
}

void tst_restoretests::leftoverOfOursGoesAtStart_data()
{
    QTest::addColumn<bool>("ours"); // the history's last test left it behind
    QTest::addColumn<bool>("dropFails");
    QTest::addColumn<bool>("stays");

    QTest::newRow("ours: dropped") << true << false << false;
    QTest::newRow("ours, drop fails: said again") << true << true << true;
    QTest::newRow("not recorded: left alone") << false << false << true;
}

void tst_restoretests::leftoverOfOursGoesAtStart()
{
    QFETCH(bool, ours);
    QFETCH(bool, dropFails);
    QFETCH(bool, stays);

    const QString scratch = u"STOK_YEDEK_DENEMESI"_s;
    server_->addDatabase(scratch);
    server_->setDropFails(dropFails);
    RestoreTestRecord record;
    record.started = QDateTime(QDate(2026, 12, 6), QTime(10, 0));
    record.ended = record.started;
    record.scratchName = scratch;
    record.verdict = RestoreVerdict::Clean;
    record.left = ours;
    QVERIFY(RestoreTestLog(program_->path()).append(record));

    ManualClock clock;
    FakeBackup fake;
    {
        BackupController backups(program_->path(), clock, clock, fake.runner(), fake.cancel);
        auto *tests = new RestoreTestController(backups, clock);
        QSignalSpy notices(tests, &RestoreTestController::notice);
        tests->startUp();
        // A failed drop is told; the controller's end waits for the worker in any case.
        if (dropFails)
            QVERIFY(notices.wait());
    }
    QCOMPARE(server_->databases().contains(scratch), stays);
    QCOMPARE(server_->batches().filter(u"DROP DATABASE"_s).size(), ours ? 1 : 0);
    QCOMPARE(RestoreTestLog(program_->path()).isOurs(scratch).value(), ours && dropFails);
}

QTEST_MAIN(tst_restoretests)
#include "tst_restoretests.moc"
