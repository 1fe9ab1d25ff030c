#include "app/BackupController.h"
#include "app/KVZ.h"
#include "backup/ProgramBackup.h"
#include "faultbytes.h"
#include "history/RunHistory.h"
#include "schedule/BackupRunner.h"
#include "schedule/TimeText.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"
#include "support/TestServer.h"
#include "support/WholeBackupFile.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkLabel.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <functional>

using namespace Qt::StringLiterals;
using tdstest::TdsTestServer;

namespace {

const QDate kDay(2026, 12, 7);
const QTime kFirstRun(14, 5, 9);
const QTime kFaultyRun(14, 6, 0);
const QTime kNextRun(14, 7, 0);
// Long enough for the driver on a loopback link, short enough for the rows that wait for it.
constexpr int kShortLoginTimeout = 2;
constexpr int kRunWaitMs = 20000;
const QString kFailurePrefix = u"YEDEKLEME BAŞARISIZ: "_s;
const QString kFilePrefix = u"Yedek dosyası: "_s;

using ServerFault = std::function<void(TdsTestServer &)>;

QList<int> numbers(const BackupResult &result)
{
    QList<int> found;
    for (const ServerMessage &message : result.messages)
        found.append(message.number);
    return found;
}

// Every switch the rows flip, back to a server that behaves.
void clearFaults(TdsTestServer &server)
{
    server.setDropDuringLogin(tdstest::LoginDrop::None);
    server.setDropDuringBackup(false);
    server.setGarbageInstead(tdstest::Answer::None);
    server.setLengthLie(tdstest::LengthLie::None, tdstest::Answer::None);
    server.setLongMessage(tdstest::LongMessage::None);
    server.setStallDuringBackup(false);
}

ServerFault droppedLogin(tdstest::LoginDrop when)
{
    return [when](TdsTestServer &server) { server.setDropDuringLogin(when); };
}

ServerFault droppedBackup()
{
    return [](TdsTestServer &server) { server.setDropDuringBackup(true); };
}

ServerFault garbage(tdstest::Answer instead)
{
    return [instead](TdsTestServer &server) { server.setGarbageInstead(instead); };
}

ServerFault lyingLength(tdstest::LengthLie lie, tdstest::Answer in)
{
    return [lie, in](TdsTestServer &server) { server.setLengthLie(lie, in); };
}

ServerFault longMessageIn(tdstest::LongMessage kind)
{
    return [kind](TdsTestServer &server) { server.setLongMessage(kind); };
}

} // namespace

Q_DECLARE_METATYPE(ServerFault)
Q_DECLARE_METATYPE(tdstest::Release)

class tst_faults : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failureShownThenNextRunWorks_data();
    void failureShownThenNextRunWorks();
    void stalledServerLeavesWindowUsable_data();
    void stalledServerLeavesWindowUsable();
    void removedFolderFailsUntilMadeAgain();
    void runsInOneSecondKeepEveryFile();
    void emptyFileFailsTheRun();
    void secondCopyCatchesUpWhenTheDiskIsBack();

private:
    void makeWindow(BackupJob::Runner runner);
    BackupJob::Runner shortLoginRunner();
    vkLabel *label(const char *name) const { return window_->findChild<vkLabel *>(QLatin1String(name)); }
    QString backupPath(const QTime &time, const QString &suffix = {}) const;
    BackupResult runAt(const QTime &time);
    BackupResult waitForRun();
    void verifySuccessShown(const BackupResult &result, const QString &path);
    void verifyFailureShown(const BackupResult &result, const QTime &time);

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<TdsTestServer> server_;
    std::unique_ptr<ManualClock> clock_;
    std::unique_ptr<BackupController> controller_;
    std::unique_ptr<KVZ> window_;
    std::unique_ptr<QSignalSpy> finished_;
};

void tst_faults::init()
{
    program_ = std::make_unique<ProgramFolder>();
    clock_ = std::make_unique<ManualClock>(QDateTime(kDay, kFirstRun));
    server_ = StartTestServer();
    QVERIFY(server_);
    server_->setBackupDuration(30);
    QVERIFY(program_->write(server_->port()));
}

// A test that failed midway may leave a run waiting on the server: closing the server's sockets ends it
// before the window, whose worker waits for the run in flight, goes.
void tst_faults::cleanup()
{
    const bool aborted = !server_->abortedBackups().isEmpty();
    server_.reset();
    finished_.reset();
    window_.reset();
    controller_.reset();
    QVERIFY2(!aborted, "the program cut a backup off");
}

void tst_faults::makeWindow(BackupJob::Runner runner)
{
    finished_.reset();
    window_.reset();
    controller_ = std::make_unique<BackupController>(program_->path(), *clock_, *clock_, std::move(runner));
    window_ = std::make_unique<KVZ>(*controller_);
    finished_ = std::make_unique<QSignalSpy>(controller_.get(), &BackupController::runFinished);
}

// The program's run but for the login time-out, which the rows whose login never ends wait out.
BackupJob::Runner tst_faults::shortLoginRunner()
{
    return [program = program_->path(), clock = clock_.get()] {
        return RunProgramBackup(program, clock->now(), {}, kShortLoginTimeout);
    };
}

// As the server names the file: with backslashes in a Windows folder.
QString tst_faults::backupPath(const QTime &time, const QString &suffix) const
{
    return QDir::toNativeSeparators(program_->backupPath(QDateTime(kDay, time).toString(u"yyyyMMddHHmmss"_s) +
                                                         u"-STOK"_s + suffix + u".bak"_s));
}

BackupResult tst_faults::runAt(const QTime &time)
{
    clock_->setTime(time);
    controller_->runNow();
    return waitForRun();
}

BackupResult tst_faults::waitForRun()
{
    const qsizetype before = finished_->count();
    if (!QTest::qWaitFor([&] { return finished_->count() > before; }, kRunWaitMs)) {
        QTest::qFail("the run did not return", __FILE__, __LINE__);
        return {};
    }
    return finished_->constLast().constFirst().value<BackupResult>();
}

void tst_faults::verifySuccessShown(const BackupResult &result, const QString &path)
{
    QVERIFY2(result.ok, qPrintable(result.reason));
    QCOMPARE(result.filePath, path);
    QVERIFY(IsWholeBackupFile(path));
    QCOMPARE(label("sonyedekleme")->caption(), TimeText(clock_->now()));
    QCOMPARE(label("sonyedekleme")->toolTip(), kFilePrefix + path);
    QCOMPARE(label("sonyedekleme")->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void tst_faults::verifyFailureShown(const BackupResult &result, const QTime &time)
{
    QVERIFY(!result.ok);
    QVERIFY(result.filePath.isEmpty());
    QVERIFY(!result.reason.trimmed().isEmpty());
    QVERIFY2(!result.reason.contains(u"[FreeTDS]"_s), qPrintable(result.reason));
    QCOMPARE(label("sonyedekleme")->caption(), TimeText(QDateTime(kDay, time)));
    QCOMPARE(label("sonyedekleme")->toolTip(), kFailurePrefix + result.reason);
    QCOMPARE(label("sonyedekleme")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

// Every row: a good run, the faulty run shown as the driver reports it, then a good run again, and the
// first file untouched. Rows whose client would wait for good end by the server dropping the connection.
void tst_faults::failureShownThenNextRunWorks_data()
{
    using namespace tdstest;
    QTest::addColumn<ServerFault>("fault");
    QTest::addColumn<bool>("waitsForDrop");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("reason");

    const QString unableToConnect = u"Unable to connect to data source"_s;
    const QString lostConnection = u"Unexpected EOF from the server"_s;
    const QString outOfSync = u"Bad token from the server: Datastream processing out of sync"_s;
    const QString timeout = u"Timeout expired"_s;
    const QString longText = LongestMessage(LongMessage::Error).text;

    QTest::newRow("drop after prelogin")
        << droppedLogin(LoginDrop::AfterPrelogin) << false << false << QList<int>{20002} << unableToConnect;
    QTest::newRow("drop on login7") << droppedLogin(LoginDrop::OnLogin7) << false << false
                                    << QList<int>{20017, 20002} << unableToConnect;
    QTest::newRow("drop during the backup")
        << droppedBackup() << false << false << QList<int>{20017} << lostConnection;
    QTest::newRow("garbage for the login")
        << garbage(Answer::Login) << false << false << QList<int>{20020} << outOfSync;
    QTest::newRow("garbage for the backup")
        << garbage(Answer::Backup) << false << false << QList<int>{20020} << outOfSync;
    QTest::newRow("login answer longer than sent")
        << lyingLength(LengthLie::Longer, Answer::Login) << false << false << QList<int>{} << timeout;
    QTest::newRow("login answer shorter than sent")
        << lyingLength(LengthLie::Shorter, Answer::Login) << false << false << QList<int>{} << timeout;
    QTest::newRow("backup answer longer than sent") << lyingLength(LengthLie::Longer, Answer::Backup) << true
                                                    << false << QList<int>{20017} << lostConnection;
    QTest::newRow("backup answer shorter than sent") << lyingLength(LengthLie::Shorter, Answer::Backup)
                                                     << true << false << QList<int>{20017} << lostConnection;
    QTest::newRow("longest info") << longMessageIn(LongMessage::Info) << false << true
                                  << QList<int>{50000, 3014} << QString();
    QTest::newRow("longest error") << longMessageIn(LongMessage::Error) << false << false
                                   << QList<int>{50000, 3013} << longText;
}

void tst_faults::failureShownThenNextRunWorks()
{
    QFETCH(ServerFault, fault);
    QFETCH(bool, waitsForDrop);
    QFETCH(bool, ok);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, reason);
    makeWindow(shortLoginRunner());
    window_->startUp();
    verifySuccessShown(waitForRun(), backupPath(kFirstRun));
    QCOMPARE(server_->logins().size(), 1);

    fault(*server_);
    clock_->setTime(kFaultyRun);
    controller_->runNow();
    if (waitsForDrop) {
        QTRY_COMPARE(server_->heldConnections(), 1);
        QVERIFY(controller_->isRunInFlight());
        server_->release(tdstest::Release::Drop);
    }
    const BackupResult faulty = waitForRun();
    for (const int number : numbers)
        QVERIFY2(::numbers(faulty).contains(number), qPrintable(faulty.reason));
    if (ok) {
        verifySuccessShown(faulty, backupPath(kFaultyRun));
    } else {
        verifyFailureShown(faulty, kFaultyRun);
        // The whole text; of the longest a server can send, all that the ODBC call's 16-bit buffer holds
        // beside the driver's "[FreeTDS][SQL Server]" prefix.
        const qsizetype odbcLimit = 32767 - 1 - qsizetype(std::strlen("[FreeTDS][SQL Server]"));
        // Beneath the sentence for the shop owner, the server's own text, then its number.
        static const QRegularExpression number(u" \\(\\d+\\)$"_s);
        const QString serverText = faulty.reason.section(u'\n', -1).remove(number);
        QVERIFY2(!serverText.isEmpty() && reason.startsWith(serverText), qPrintable(faulty.reason.left(200)));
        QCOMPARE(serverText.size(), qMin(reason.size(), odbcLimit));
    }
    QVERIFY(IsWholeBackupFile(backupPath(kFirstRun)));

    clearFaults(*server_);
    verifySuccessShown(runAt(kNextRun), backupPath(kNextRun));
    QVERIFY(IsWholeBackupFile(backupPath(kFirstRun)));
    QTRY_COMPARE(server_->heldConnections(), 0);
}

void tst_faults::stalledServerLeavesWindowUsable_data()
{
    QTest::addColumn<tdstest::Release>("release");
    QTest::addColumn<bool>("ok");
    QTest::newRow("the server carries on") << tdstest::Release::Resume << true;
    QTest::newRow("the server hangs up") << tdstest::Release::Drop << false;
}

void tst_faults::stalledServerLeavesWindowUsable()
{
    QFETCH(tdstest::Release, release);
    QFETCH(bool, ok);
    server_->setStallDuringBackup(true);
    makeWindow(shortLoginRunner());
    int questions = 0;
    bool endAtOnce = false;
    controller_->setQuestion([&](const QString &) {
        ++questions;
        return endAtOnce;
    });
    QSignalSpy exit(controller_.get(), &BackupController::exitRequested);
    window_->startUp();
    QTRY_COMPARE(server_->heldConnections(), 1);

    // Well past the 30 ms backup and the login time-out: no other time-out may end the run.
    QTest::qWait((kShortLoginTimeout + 1) * 1000);
    QVERIFY(controller_->isRunInFlight());
    QCOMPARE(finished_->count(), 0);
    for (const QTime time : {QTime(15, 0, 1), QTime(15, 0, 2), QTime(16, 30, 0)}) {
        clock_->setTime(time);
        QTRY_COMPARE(label("simdi")->caption(), TimeText(QDateTime(kDay, time)));
    }
    QTest::mouseClick(window_->findChild<vkCommand *>(u"yedekle"_s), Qt::LeftButton);
    controller_->runNow();
    QTest::qWait(300);
    QCOMPARE(server_->logins().size(), 1);

    controller_->closeProgram();
    QCOMPARE(questions, 1);
    QCOMPARE(exit.count(), 0);
    QVERIFY(controller_->isRunInFlight());
    endAtOnce = true;
    controller_->closeProgram();
    QCOMPARE(questions, 2);
    QCOMPARE(exit.count(), 1);
    QVERIFY(controller_->isRunInFlight());

    server_->release(release);
    const BackupResult stalled = waitForRun();
    QCOMPARE(stalled.ok, ok);
    QCOMPARE(IsWholeBackupFile(backupPath(kFirstRun)), ok);
    if (!ok)
        verifyFailureShown(stalled, QTime(16, 30, 0));
    QCOMPARE(server_->heldConnections(), 0);

    // The program started again finds a server that answers.
    clearFaults(*server_);
    makeWindow(shortLoginRunner());
    verifySuccessShown(runAt(kNextRun), backupPath(kNextRun));
}

void tst_faults::removedFolderFailsUntilMadeAgain()
{
    makeWindow(MakeBackupRunner(
        program_->path(), [&c = *clock_] { return c.now(); }, *clock_));
    verifySuccessShown(runAt(kFirstRun), backupPath(kFirstRun));

    QVERIFY(QDir(program_->backupFolder()).removeRecursively());
    const BackupResult missing = runAt(kFaultyRun);
    verifyFailureShown(missing, kFaultyRun);
    QVERIFY(numbers(missing).contains(3201));
    QVERIFY(missing.reason.startsWith(
        u"YEDEK ALINACAK KONUM klasörü SQL Server'ın çalıştığı bilgisayarda yok."_s));
    QVERIFY(missing.reason.endsWith(
        u"\nCannot open backup device '%1'. Operating system error 3(The system cannot "
        u"find the path specified.). (3201)"_s.arg(backupPath(kFaultyRun))));

    QVERIFY(QDir().mkpath(program_->backupFolder()));
    verifySuccessShown(runAt(kNextRun), backupPath(kNextRun));
}

void tst_faults::runsInOneSecondKeepEveryFile()
{
    makeWindow(MakeBackupRunner(
        program_->path(), [&c = *clock_] { return c.now(); }, *clock_));
    const QStringList suffixes{QString(), u"-2"_s, u"-3"_s};
    for (const QString &suffix : suffixes)
        verifySuccessShown(runAt(kFirstRun), backupPath(kFirstRun, suffix));
    for (const QString &suffix : suffixes)
        QVERIFY(IsWholeBackupFile(backupPath(kFirstRun, suffix)));
    QCOMPARE(server_->writtenBackups().size(), 3);
}

// The server reports the backup written and leaves 0 bytes: the run fails, and the history keeps the file's
// own size beside the reason.
void tst_faults::emptyFileFailsTheRun()
{
    makeWindow(MakeBackupRunner(
        program_->path(), [&c = *clock_] { return c.now(); }, *clock_));
    verifySuccessShown(runAt(kFirstRun), backupPath(kFirstRun));
    const RunHistory history(program_->path());
    QTRY_VERIFY(history.lastSuccess().ok() && history.lastSuccess().value());

    server_->setEmptyBackups(true);
    const BackupResult empty = runAt(kFaultyRun);
    verifyFailureShown(empty, kFaultyRun);
    const QString sizes = u"yeni dosya 0 bayt, son yedeklerin en küçüğü %1 bayt."_s.arg(
        QFileInfo(backupPath(kFirstRun)).size());
    QVERIFY2(empty.reason.startsWith(u"YEDEK DOSYASI BOŞ YA DA EKSİK: "_s + sizes), qPrintable(empty.reason));
    QTRY_COMPARE(history.last().value()->file, backupPath(kFaultyRun));
    QCOMPARE(history.last().value()->sizeBytes, 0);
    QVERIFY(IsWholeBackupFile(backupPath(kFirstRun)));
}

// The server writes the backups; the program copies them into a second folder that is missing at the first
// run (a USB disk unplugged): the backup still succeeds, the copy's failure is told, and the next run copies
// both backups, checked, leaving the backup folder as it was.
void tst_faults::secondCopyCatchesUpWhenTheDiskIsBack()
{
    QTemporaryDir usbRoot;
    QVERIFY(usbRoot.isValid());
    const QString usb = usbRoot.filePath(u"usb"_s);
    QVERIFY(WriteSetting(SettingsFiles::kSection, SettingsFiles::kSecondFolder, usb,
                         SettingsFiles::BackupFile(program_->path())));
    std::atomic<int> copied{-1};
    makeWindow(MakeBackupRunner(
        program_->path(), [&c = *clock_] { return c.now(); }, *clock_, {}, {},
        [&copied](int percent) { copied = percent; }));
    QSignalSpy notices(controller_.get(), &BackupController::notice);

    const BackupResult unplugged = runAt(kFirstRun);
    verifySuccessShown(unplugged, backupPath(kFirstRun));
    QVERIFY(unplugged.secondCopy.asked);
    QVERIFY2(unplugged.secondCopy.problem.startsWith(u"İKİNCİ KOPYA YAPILAMADI: İKİNCİ KOPYA YERİ"_s),
             qPrintable(unplugged.secondCopy.problem));
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.constLast().constFirst().value<RunNotice>().title, u"İKİNCİ KOPYA YAPILAMADI"_s);

    QVERIFY(QDir().mkpath(usb));
    const BackupResult back = runAt(kNextRun);
    verifySuccessShown(back, backupPath(kNextRun));
    QCOMPARE(back.secondCopy.problem, QString());
    QCOMPARE(copied.load(), 100);
    for (const QTime &time : {kFirstRun, kNextRun}) {
        QFile original(backupPath(time));
        QFile copy(usb + u'/' + QFileInfo(original).fileName());
        QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QVERIFY(IsWholeBackupFile(original.fileName()));
        QVERIFY(original.readAll() == copy.readAll());
    }
    QCOMPARE(back.secondCopy.bytes, QFileInfo(backupPath(kFirstRun)).size() * 2);
    QCOMPARE(QDir(program_->backupFolder()).entryList(QDir::Files).size(), 2);
    QCOMPARE(notices.constLast().constFirst().value<RunNotice>().title, u"İKİNCİ KOPYA YAPILDI"_s);

    const RunHistory history(program_->path());
    QTRY_COMPARE(history.last().value()->secondCopy, kSecondCopyDone);
    QCOMPARE(history.summary(clock_->now())->lastSecondCopy, clock_->now());
}

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
