#include "backup/BackupJob.h"
#include "backup/ProgramBackup.h"
#include "settings/SettingsFiles.h"
#include "support/ProgramFolder.h"
#include "support/TestServer.h"
#include "support/WholeBackupFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kRunTime(QDate(2026, 12, 7), QTime(14, 5, 9));

bool hasMessage(const BackupResult &result, int number)
{
    return std::any_of(result.messages.cbegin(), result.messages.cend(),
                       [number](const ServerMessage &m) { return m.number == number; });
}

} // namespace

class tst_backuprun : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void backupWritesFileInFolder();
    void valuesArriveExactlyAsStored_data();
    void valuesArriveExactlyAsStored();
    void failures_data();
    void failures();
    void refusedBeforeTheServer_data();
    void refusedBeforeTheServer();
    void closedPortFails();
    void silentServerGivesUpAfterLoginTimeout();
    void moreResultsFlagStillSucceeds();
    void serverFailsDuringBackup_data();
    void serverFailsDuringBackup();
    void clockKeepsTickingDuringSlowBackup();

private:
    void configure(const ProgramSettings &settings = {});
    BackupResult run(int loginTimeoutSeconds = kLoginTimeoutSeconds);

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<tdstest::TdsTestServer> server_;
};

void tst_backuprun::init()
{
    program_ = std::make_unique<ProgramFolder>();
    server_ = StartTestServer();
    QVERIFY(server_);
    server_->setBackupDuration(30);
}

void tst_backuprun::cleanup()
{
    // However a test ended, the program must never have cut a backup off.
    QVERIFY2(server_->abortedBackups().isEmpty(), "a backup was aborted by the client");
    server_.reset();
}

void tst_backuprun::configure(const ProgramSettings &settings)
{
    QVERIFY(program_->write(server_->port(), settings));
}

BackupResult tst_backuprun::run(int loginTimeoutSeconds)
{
    return RunProgramBackup(program_->path(), kRunTime, {}, loginTimeoutSeconds);
}

void tst_backuprun::backupWritesFileInFolder()
{
    // Stored without a trailing separator: the file must still land inside the folder.
    configure({.folder = program_->backupFolder().chopped(1)});
    const BackupResult result = run();
    // The file as the server names it: with backslashes in a Windows folder.
    const QString expected = QDir::toNativeSeparators(program_->backupPath(u"20261207140509-STOK.bak"_s));
    QVERIFY2(result.ok, qPrintable(result.reason));
    QCOMPARE(result.filePath, expected);
    QVERIFY(IsWholeBackupFile(expected));
    QCOMPARE(QDir(program_->backupFolder()).entryList(QDir::Files),
             QStringList{u"20261207140509-STOK.bak"_s});
    QVERIFY(hasMessage(result, 3014));
    QCOMPARE(server_->attentionCount(), 0);
    QCOMPARE(server_->writtenBackups(), QStringList{expected});
}

void tst_backuprun::valuesArriveExactlyAsStored_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("plain") << "sa"
                           << "pw"
                           << "STOK"
                           << "20261207140509-STOK.bak";
    QTest::newRow("semicolon, equals, quotes") << "kasa"
                                               << "a;b=c'd\"e"
                                               << "O'Hara"
                                               << "20261207140509-O'Hara.bak";
    QTest::newRow("blanks inside and brackets") << "ali veli"
                                                << "p [w] d"
                                                << "Stok [2024]"
                                                << "20261207140509-Stok [2024].bak";
    QTest::newRow("braces the installed driver carries") << "u{1}"
                                                         << "{a}}b}"
                                                         << "d}x"
                                                         << "20261207140509-d}x.bak";
    QTest::newRow("Turkish letters") << u"kullanıcı"_s << u"şİğÜçÖ"_s << u"ÇARŞI"_s
                                     << u"20261207140509-ÇARŞI.bak"_s;
    QTest::newRow("hyphen and leading digit") << "sa"
                                              << "1-2"
                                              << "2024-Stok"
                                              << "20261207140509-2024-Stok.bak";
}

void tst_backuprun::valuesArriveExactlyAsStored()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, database);
    QFETCH(QString, fileName);
    server_->addLogin(login, password);
    server_->addDatabase(database);
    configure({.database = database, .login = login, .password = password});

    const BackupResult result = run();
    QVERIFY2(result.ok, qPrintable(result.reason));
    const QList<tdstest::LoginRecord> logins = server_->logins();
    QCOMPARE(logins.size(), 1);
    QCOMPARE(logins[0].userName, login);
    QCOMPARE(logins[0].password, password);
    QCOMPARE(logins[0].database, database);
    QCOMPARE(logins[0].appName, u"ZANTO POS SQL YEDEKLEME"_s);
    QCOMPARE(logins[0].tdsVersion, 0x74000004u);
    QVERIFY(IsWholeBackupFile(program_->backupPath(fileName)));
}

void tst_backuprun::failures_data()
{
    QTest::addColumn<ProgramSettings>("setup");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");

    QTest::newRow("wrong password") << ProgramSettings{.password = u"yanlis"_s} << 18456
                                    << u"Login failed for user 'sa'."_s;
    QTest::newRow("unknown login") << ProgramSettings{.login = u"kasa"_s} << 18456
                                   << u"Login failed for user 'kasa'."_s;
    QTest::newRow("unknown database")
        << ProgramSettings{.database = u"YOK"_s} << 4060
        << u"Cannot open database \"YOK\" requested by the login. The login failed."_s;
    QTest::newRow("missing folder")
        << ProgramSettings{.folder = u"/nonexistent/yedek/"_s} << 3201
        << u"Cannot open backup device '/nonexistent/yedek/20261207140509-STOK.bak'. "
           u"Operating system error 3(The system cannot find the path specified.)."_s;
    QTest::newRow("value the driver cannot carry") << ProgramSettings{.password = u"a};b"_s} << 0
                                                   << u"Sql Şifresi değeri \"};\" içeriyor; ODBC sürücüsü bu "
                                                      u"değeri taşıyamaz."_s;
}

void tst_backuprun::failures()
{
    QFETCH(ProgramSettings, setup);
    QFETCH(int, number);
    QFETCH(QString, reason);
    configure(setup);
    const BackupResult result = run();
    QVERIFY(!result.ok);
    // A sentence for the shop owner first, then the server's own text for support.
    QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
    QVERIFY(result.filePath.isEmpty());
    if (number != 0)
        QVERIFY(hasMessage(result, number));
    QVERIFY(QDir(program_->backupFolder()).isEmpty());
}

void tst_backuprun::refusedBeforeTheServer_data()
{
    // Each file as written for a good run, unless a row gives its bytes, "<none>" or "<dir>" (a folder in
    // its place).
    QTest::addColumn<QString>("backupSettings");
    QTest::addColumn<QString>("connectionSettings");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no backup settings file") << u"<none>"_s << QString() << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("no folder key") << u"[ayar]\nkopyalama-zamani=02\n"_s << QString()
                                   << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("empty folder") << u"[ayar]\nsaklanacak-yer= \n"_s << QString()
                                  << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("folder longer than a value")
        << u"[ayar]\nsaklanacak-yer=/tmp/"_s + QString(260, u'a') + u"/d/\n"_s << QString()
        << u"Yedek klasörünün yolu çok uzun"_s;
    QTest::newRow("backup settings unreadable") << u"<dir>"_s << QString() << u"Ayar dosyası okunamadı"_s;
    QTest::newRow("connection settings unreadable") << QString() << u"<dir>"_s << u"Ayar dosyası okunamadı"_s;
    QTest::newRow("no server") << QString() << u"<none>"_s << u"Sql sunucusu ayarlanmamış"_s;
}

// Nothing is sent to the server without a whole folder and readable settings: a bare file name would
// land in the server's own folder, a path cut short in its parent, and both were reported as written.
void tst_backuprun::refusedBeforeTheServer()
{
    QFETCH(QString, backupSettings);
    QFETCH(QString, connectionSettings);
    QFETCH(QString, reason);
    const auto place = [](const QString &file, const QString &content) {
        if (content.isNull())
            return true;
        if (!QFile::remove(file))
            return false;
        if (content == u"<dir>"_s)
            return QDir().mkpath(file);
        QFile out(file);
        return content == u"<none>"_s || (out.open(QIODevice::WriteOnly) && out.write(content.toUtf8()) > 0);
    };
    configure();
    QVERIFY(place(SettingsFiles::BackupFile(program_->path()), backupSettings));
    QVERIFY(place(SettingsFiles::ConnectionFile(program_->path()), connectionSettings));
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY2(result.reason.startsWith(reason), qPrintable(result.reason));
    QVERIFY(server_->logins().isEmpty());
}

void tst_backuprun::closedPortFails()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QVERIFY(program_->write(closedPort));
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
}

void tst_backuprun::silentServerGivesUpAfterLoginTimeout()
{
    server_->setSilent(true);
    configure();
    QElapsedTimer elapsed;
    elapsed.start();
    const BackupResult result = run(1);
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY2(elapsed.elapsed() < 30000, "the login time-out did not end the run");
}

void tst_backuprun::moreResultsFlagStillSucceeds()
{
    server_->setMoreResultsOnDone(true);
    configure();
    const BackupResult result = run();
    QVERIFY2(result.ok, qPrintable(result.reason));
    QVERIFY(IsWholeBackupFile(result.filePath));
}

void tst_backuprun::serverFailsDuringBackup_data()
{
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("reasonStart");

    QTest::newRow("connection dropped") << true << u"Unexpected EOF from the server"_s;
    QTest::newRow("write error after progress") << false << u"Write on"_s;
}

void tst_backuprun::serverFailsDuringBackup()
{
    QFETCH(bool, drop);
    QFETCH(QString, reasonStart);
    server_->setBackupDuration(300);
    server_->setDropDuringBackup(drop);
    server_->setErrorAfterProgress(!drop);
    configure();
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY2(result.reason.contains(reasonStart), qPrintable(result.reason));
    QVERIFY(result.filePath.isEmpty());
    QVERIFY(!IsWholeBackupFile(program_->backupPath(u"20261207140509-STOK.bak"_s)));
}

void tst_backuprun::clockKeepsTickingDuringSlowBackup()
{
    server_->setBackupDuration(1500);
    configure();
    BackupJob job([this] { return run(); });
    QSignalSpy finished(&job, &BackupJob::finished);

    int ticks = 0;
    QTimer zaman;
    zaman.setInterval(100);
    connect(&zaman, &QTimer::timeout, this, [&ticks] { ++ticks; });
    zaman.start();
    QVERIFY(job.start());
    QVERIFY(!job.start());
    QVERIFY(finished.wait(20000));
    QVERIFY2(ticks >= 10, qPrintable(u"only %1 ticks during the backup"_s.arg(ticks)));
    QVERIFY(finished.first().first().value<BackupResult>().ok);
}

QTEST_GUILESS_MAIN(tst_backuprun)
#include "tst_backuprun.moc"
