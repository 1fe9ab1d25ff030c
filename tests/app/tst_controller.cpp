#include "app/BackupController.h"
#include "history/RunHistory.h"
#include "support/FakeBackup.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

// The controller on its own, without a window: what a run, its notices and the end of the program do.
class tst_controller : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void runStartsAndEnds_data();
    void runStartsAndEnds();
    void noticesAfterRuns_data();
    void noticesAfterRuns();
    void exitPolicy_data();
    void exitPolicy();

private:
    // Runs once with `result` and waits for its end.
    void runOnce(const BackupResult &result);
    std::optional<RunRecord> lastRow();

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<ManualClock> clock_;
    std::unique_ptr<FakeBackup> fake_;
    std::unique_ptr<BackupController> controller_;
};

void tst_controller::init()
{
    clock_ = std::make_unique<ManualClock>();
    fake_ = std::make_unique<FakeBackup>();
    program_ = std::make_unique<ProgramFolder>();
    controller_ = std::make_unique<BackupController>(program_->path(), *clock_, *clock_, fake_->runner(),
                                                     fake_->cancel);
}

void tst_controller::cleanup()
{
    fake_->hold = false;
    fake_->release.release(100);
    controller_.reset();
}

void tst_controller::runOnce(const BackupResult &result)
{
    fake_->result = result;
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    controller_->runNow();
    QVERIFY(finished.wait());
}

std::optional<RunRecord> tst_controller::lastRow()
{
    controller_->waitForHistory();
    return RunHistory(program_->path()).last().value();
}

void tst_controller::runStartsAndEnds_data()
{
    QTest::addColumn<BackupResult>("result");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("reason");

    QTest::newRow("written") << BackupResult{true, u"/y/a.bak"_s, {}, {}} << false << QString();
    QTest::newRow("failed") << BackupResult{false, {}, u"Login failed for user 'sa'."_s, {}} << false
                            << u"Login failed for user 'sa'."_s;
    QTest::newRow("stopped by the user") << BackupResult{true, u"/y/a.bak"_s, {}, {}} << true
                                         << u"YEDEKLEME DURDURULDU: kullanıcı durdurdu."_s;
}

void tst_controller::runStartsAndEnds()
{
    QFETCH(BackupResult, result);
    QFETCH(bool, stop);
    QFETCH(QString, reason);
    fake_->result = result;
    fake_->hold = true;
    QSignalSpy started(controller_.get(), &BackupController::runStarted);
    QSignalSpy states(controller_.get(), &BackupController::runStateChanged);
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    clock_->setTime(QTime(9, 30, 0));
    controller_->runNow(RunCause::Tray);
    QVERIFY(fake_->entered.tryAcquire(1, 5000));
    controller_->runNow(RunCause::Button);
    QCOMPARE(started.count(), 1);
    QVERIFY(controller_->isRunInFlight());
    QVERIFY(!lastRow()->finished);

    controller_->reportProgress(42);
    QCOMPARE(states.last().first().toString(), u"YEDEKLENİYOR… %42"_s);
    controller_->reportCopyProgress(40);
    QCOMPARE(states.last().first().toString(), u"KOPYALANIYOR… %40"_s);
    clock_->setTime(QTime(9, 31, 0));
    if (stop)
        controller_->stopRun();
    else
        fake_->release.release();
    QVERIFY(finished.wait());
    QCOMPARE(fake_->runs.load(), 1);
    const bool ok = reason.isEmpty();
    QCOMPARE(finished.first().first().value<BackupResult>().ok, ok);
    QCOMPARE(controller_->scheduler().lastBackup().time(), QTime(9, 31, 0));
    const std::optional<RunRecord> row = lastRow();
    QVERIFY(row && row->finished);
    QCOMPARE(row->ok, ok);
    QCOMPARE(row->reason, reason);
    QCOMPARE(row->cause, u"tray"_s);
}

void tst_controller::noticesAfterRuns_data()
{
    QTest::addColumn<BackupResult>("first");
    QTest::addColumn<BackupResult>("second");
    QTest::addColumn<QStringList>("told");

    const BackupResult written{true, u"/y/a.bak"_s, {}, {}};
    const BackupResult failed{false, {}, u"Login failed for user 'sa'."_s, {}};
    BackupResult low = written;
    low.spaceLow = true;
    low.spaceText = u"YER: 2 GÜN YETER"_s;

    QTest::newRow("successes say nothing") << written << written << QStringList();
    QTest::newRow("a failure is told once in a series")
        << failed << failed << QStringList{u"YEDEKLEME BAŞARISIZ"_s};
    QTest::newRow("the success after failures is told")
        << failed << written << QStringList{u"YEDEKLEME BAŞARISIZ"_s, u"YEDEKLEME BAŞARILI"_s};
    QTest::newRow("low space once a day") << low << low << QStringList{u"YEDEK KLASÖRÜNDE YER AZALDI"_s};
}

void tst_controller::noticesAfterRuns()
{
    QFETCH(BackupResult, first);
    QFETCH(BackupResult, second);
    QFETCH(QStringList, told);
    QSignalSpy notices(controller_.get(), &BackupController::notice);
    runOnce(first);
    clock_->advance(60'000);
    runOnce(second);
    QStringList titles;
    for (const QList<QVariant> &notice : notices)
        titles << notice.first().value<RunNotice>().title;
    QCOMPARE(titles, told);
}

void tst_controller::exitPolicy_data()
{
    QTest::addColumn<bool>("runInFlight");
    QTest::addColumn<bool>("bySignal");
    QTest::addColumn<bool>("cutOff");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("exitAtOnce");

    QTest::newRow("nothing in flight") << false << false << false << 0 << true;
    QTest::newRow("signal, nothing in flight") << false << true << false << 0 << true;
    QTest::newRow("the user waits for the run") << true << false << false << 1 << false;
    QTest::newRow("the user cuts the run off") << true << false << true << 1 << true;
    QTest::newRow("signal waits for the run, unasked") << true << true << false << 0 << false;
}

void tst_controller::exitPolicy()
{
    QFETCH(bool, runInFlight);
    QFETCH(bool, bySignal);
    QFETCH(bool, cutOff);
    QFETCH(int, questions);
    QFETCH(bool, exitAtOnce);
    int asked = 0;
    controller_->setQuestion([&](const QString &) {
        ++asked;
        return cutOff;
    });
    fake_->hold = true;
    QSignalSpy closing(controller_.get(), &BackupController::closing);
    QSignalSpy exit(controller_.get(), &BackupController::exitRequested);
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    if (runInFlight) {
        controller_->runNow();
        QVERIFY(fake_->entered.tryAcquire(1, 5000));
    }
    if (bySignal)
        controller_->endOnSignal(u"SIGTERM"_s);
    else
        controller_->closeProgram();
    QCOMPARE(closing.count(), 1);
    QCOMPARE(asked, questions);
    QCOMPARE(exit.count(), exitAtOnce ? 1 : 0);
    // Closing does not stop the run: one cut off ends with the process.
    QCOMPARE(controller_->isRunInFlight(), runInFlight);
    // An ending program starts nothing more.
    controller_->runNow();
    if (runInFlight) {
        const std::optional<RunRecord> row = lastRow();
        QCOMPARE(row->finished, cutOff);
        QVERIFY(!row->ok);
        QCOMPARE(row->reason, cutOff ? RunHistory::kInterruptedReason : QString());
        fake_->release.release();
        QVERIFY(finished.wait());
    }
    QCOMPARE(exit.count(), 1);
    QCOMPARE(fake_->runs.load(), runInFlight ? 1 : 0);
}

QTEST_MAIN(tst_controller)
#include "tst_controller.moc"
