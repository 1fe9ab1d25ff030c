#include "backup/BackupJob.h"
#include "backup/ProgramBackup.h"
#include "common/ManualClock.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "tdstestserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kRunTime(QDate(2026, 12, 7), QTime(14, 5, 9));

struct Setup {
    QString server = u"127.0.0.1"_s;
    QString port; // the test server's port when empty
    QString database = u"STOK"_s;
    QString login = u"sa"_s;
    QString password = u"Gizli;1"_s;
    QString folder; // the test's backup folder when empty
};

bool endsWithMarker(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.readAll().trimmed().endsWith(tdstest::BackupCompleteMarker.data());
}

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
    void runsInOneSecondKeepEveryFile();

private:
    void configure(const Setup &setup);
    BackupResult run(int loginTimeoutSeconds = kLoginTimeoutSeconds);

    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<QTemporaryDir> backups_;
    std::unique_ptr<tdstest::TdsTestServer> server_;
};

void tst_backuprun::init()
{
    program_ = std::make_unique<QTemporaryDir>();
    backups_ = std::make_unique<QTemporaryDir>();
    server_ = std::make_unique<tdstest::TdsTestServer>();
    server_->addLogin(u"sa"_s, u"Gizli;1"_s);
    server_->addDatabase(u"STOK"_s);
    server_->setBackupDuration(30);
    QVERIFY(server_->listen());
}

void tst_backuprun::cleanup()
{
    // However a test ended, the program must never have cut a backup off.
    QVERIFY2(server_->abortedBackups().isEmpty(), "a backup was aborted by the client");
    server_.reset();
}

void tst_backuprun::configure(const Setup &setup)
{
    using namespace SettingsFiles;
    const QString connection = connectionFile(program_->path());
    const QString port = setup.port.isEmpty() ? QString::number(server_->port()) : setup.port;
    QVERIFY(WriteSetting(kSection, kServer, setup.server, connection));
    QVERIFY(WriteSetting(kSection, kPort, port, connection));
    QVERIFY(WriteSetting(kSection, kLogin, setup.login, connection));
    QVERIFY(WriteSetting(kSection, kPassword, setup.password, connection));
    QVERIFY(WriteSetting(kSection, kDatabase, setup.database, connection));
    const QString folder = setup.folder.isEmpty() ? backups_->path() + u'/' : setup.folder;
    QVERIFY(WriteSetting(kSection, kFolder, folder, backupFile(program_->path())));
}

BackupResult tst_backuprun::run(int loginTimeoutSeconds)
{
    return RunProgramBackup(program_->path(), kRunTime, {}, loginTimeoutSeconds);
}

void tst_backuprun::backupWritesFileInFolder()
{
    // Stored without a trailing separator: the file must still land inside the folder.
    configure({.folder = backups_->path()});
    const BackupResult result = run();
    const QString expected = backups_->filePath(u"20261207140509-STOK.bak"_s);
    QVERIFY2(result.ok, qPrintable(result.reason));
    QCOMPARE(result.filePath, expected);
    QVERIFY(endsWithMarker(expected));
    QCOMPARE(QDir(backups_->path()).entryList(QDir::Files), QStringList{u"20261207140509-STOK.bak"_s});
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
    QVERIFY(endsWithMarker(backups_->filePath(fileName)));
}

void tst_backuprun::failures_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");

    QTest::newRow("wrong password") << Setup{.password = u"yanlis"_s} << 18456
                                    << u"Login failed for user 'sa'."_s;
    QTest::newRow("unknown login") << Setup{.login = u"kasa"_s} << 18456
                                   << u"Login failed for user 'kasa'."_s;
    QTest::newRow("unknown database")
        << Setup{.database = u"YOK"_s} << 4060
        << u"Cannot open database \"YOK\" requested by the login. The login failed."_s;
    QTest::newRow("missing folder")
        << Setup{.folder = u"/nonexistent/yedek/"_s} << 3201
        << u"Cannot open backup device '/nonexistent/yedek/20261207140509-STOK.bak'. "
           u"Operating system error 3(The system cannot find the path specified.)."_s;
    QTest::newRow("value the driver cannot carry") << Setup{.password = u"a};b"_s} << 0
                                                   << u"Sql Şifresi değeri \"};\" içeriyor; ODBC sürücüsü bu "
                                                      u"değeri taşıyamaz."_s;
}

void tst_backuprun::failures()
{
    QFETCH(Setup, setup);
    QFETCH(int, number);
    QFETCH(QString, reason);
    configure(setup);
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, reason);
    QVERIFY(result.filePath.isEmpty());
    if (number != 0)
        QVERIFY(hasMessage(result, number));
    QVERIFY(QDir(backups_->path()).isEmpty());
}

void tst_backuprun::refusedBeforeTheServer_data()
{
    QTest::addColumn<QString>("backupSettings"); // "<dir>" puts a folder in the file's place
    QTest::addColumn<QString>("connectionSettings");
    QTest::addColumn<QString>("reason");

    const QString connection =
        u"[ayar]\nsqladi=127.0.0.1\nport=%1\nsqlkullanici=sa\nsqlsifre=Gizli;1\nsqldata=STOK\n"_s;
    const QString folder = u"[ayar]\nsaklanacak-yer=/tmp/\n"_s;
    QTest::newRow("no backup settings file") << QString() << connection << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("no folder key") << u"[ayar]\nkopyalama-zamani=02\n"_s << connection
                                   << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("empty folder") << u"[ayar]\nsaklanacak-yer= \n"_s << connection
                                  << u"Yedek klasörü ayarlanmamış"_s;
    QTest::newRow("folder longer than a value")
        << u"[ayar]\nsaklanacak-yer=/tmp/"_s + QString(260, u'a') + u"/d/\n"_s << connection
        << u"Yedek klasörünün yolu çok uzun"_s;
    QTest::newRow("backup settings unreadable") << u"<dir>"_s << connection << u"Ayar dosyası okunamadı"_s;
    QTest::newRow("connection settings unreadable") << folder << u"<dir>"_s << u"Ayar dosyası okunamadı"_s;
    QTest::newRow("no server") << folder << QString() << u"Sql sunucusu ayarlanmamış"_s;
}

// Nothing is sent to the server without a whole folder and readable settings: a bare file name would
// land in the server's own folder, a path cut short in its parent, and both were reported as written.
void tst_backuprun::refusedBeforeTheServer()
{
    QFETCH(QString, backupSettings);
    QFETCH(QString, connectionSettings);
    QFETCH(QString, reason);
    const auto place = [](const QString &file, const QString &content) {
        if (content == u"<dir>"_s)
            return QDir().mkpath(file);
        QFile out(file);
        return content.isNull() || (out.open(QIODevice::WriteOnly) && out.write(content.toUtf8()) > 0);
    };
    QVERIFY(place(SettingsFiles::backupFile(program_->path()), backupSettings));
    QVERIFY(place(SettingsFiles::connectionFile(program_->path()),
                  connectionSettings.contains(u"%1"_s) ? connectionSettings.arg(server_->port())
                                                       : connectionSettings));
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY2(result.reason.startsWith(reason), qPrintable(result.reason));
    QVERIFY(server_->logins().isEmpty());
}

void tst_backuprun::closedPortFails()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString closedPort = QString::number(probe.serverPort());
    probe.close();
    configure({.port = closedPort});
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
}

void tst_backuprun::silentServerGivesUpAfterLoginTimeout()
{
    server_->setSilent(true);
    configure({});
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
    configure({});
    const BackupResult result = run();
    QVERIFY2(result.ok, qPrintable(result.reason));
    QVERIFY(endsWithMarker(result.filePath));
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
    configure({});
    const BackupResult result = run();
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY2(result.reason.startsWith(reasonStart), qPrintable(result.reason));
    QVERIFY(result.filePath.isEmpty());
    QVERIFY(!endsWithMarker(backups_->filePath(u"20261207140509-STOK.bak"_s)));
}

void tst_backuprun::clockKeepsTickingDuringSlowBackup()
{
    server_->setBackupDuration(1500);
    configure({});
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

void tst_backuprun::runsInOneSecondKeepEveryFile()
{
    configure({});
    ManualClock clock(kRunTime);
    const BackupJob::Runner runner = MakeBackupRunner(program_->path(), [&c = clock] { return c.now(); });
    QStringList files;
    for (int run = 0; run < 3; ++run) {
        const BackupResult result = runner();
        QVERIFY2(result.ok, qPrintable(result.reason));
        files << QFileInfo(result.filePath).fileName();
    }
    QCOMPARE(files, (QStringList{u"20261207140509-STOK.bak"_s, u"20261207140509-STOK-2.bak"_s,
                                 u"20261207140509-STOK-3.bak"_s}));
    for (const QString &file : files)
        QVERIFY(endsWithMarker(backups_->filePath(file)));
}

QTEST_GUILESS_MAIN(tst_backuprun)
#include "tst_backuprun.moc"
