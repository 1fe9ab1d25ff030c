#include "backup/BackupPlan.h"
#include "backup/BackupResult.h"
#include "backup/ConnectionString.h"
#include "backup/OdbcDriver.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_backupplan : public QObject {
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void folder_data();
    void folder();
    void statement_data();
    void statement();
    void takenNameGetsNext_data();
    void takenNameGetsNext();
    void connectionString_data();
    void connectionString();
    void microsoftDriverString_data();
    void microsoftDriverString();
    void chooseDriver_data();
    void chooseDriver();
    void freeTdsIsListedHere();
    void valueTheDriverCannotCarry_data();
    void valueTheDriverCannotCarry();
    void failureReason_data();
    void failureReason();
};

static const QDateTime kMorning(QDate(2026, 3, 7), QTime(6, 47, 2));

void tst_backupplan::fileName_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "STOK" << kMorning << "20260307064702-STOK.bak";
    QTest::newRow("midnight, last day of year")
        << "STOK" << QDateTime(QDate(2026, 12, 31), QTime(0, 0, 0)) << "20261231000000-STOK.bak";
    QTest::newRow("blanks kept") << " STOK " << kMorning << "20260307064702- STOK .bak";
    QTest::newRow("Turkish letters kept")
        << u"ŞİRKET_ÖĞÜ"_s << kMorning << u"20260307064702-ŞİRKET_ÖĞÜ.bak"_s;
    QTest::newRow("separators replaced") << "a/b\\c" << kMorning << "20260307064702-a_b_c.bak";
    QTest::newRow("reserved characters replaced")
        << "a:b*c?d\"e<f>g|h" << kMorning << "20260307064702-a_b_c_d_e_f_g_h.bak";
    QTest::newRow("control characters replaced")
        << u"a\tb\u0001c"_s << kMorning << "20260307064702-a_b_c.bak";
    QTest::newRow("quotes, brackets and dots kept") << "x'y]z.w" << kMorning << "20260307064702-x'y]z.w.bak";
}

void tst_backupplan::fileName()
{
    QFETCH(QString, database);
    QFETCH(QDateTime, time);
    QFETCH(QString, expected);
    QCOMPARE(BackupFileName(database, time), expected);
}

void tst_backupplan::folder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("Windows folder with separator") << "C:\\Yedek\\"
                                                   << "C:\\Yedek\\";
    QTest::newRow("Windows folder without separator") << "C:\\Yedek"
                                                      << "C:\\Yedek\\";
    QTest::newRow("drive root") << "D:\\"
                                << "D:\\";
    QTest::newRow("drive without separator") << "D:"
                                             << "D:\\";
    QTest::newRow("Windows folder with slashes") << "C:/Yedek"
                                                 << "C:\\Yedek\\";
    QTest::newRow("Windows separators repeated") << "C:\\\\Yedek//"
                                                 << "C:\\Yedek\\";
    QTest::newRow("Unix folder without separator") << "/srv/yedek"
                                                   << "/srv/yedek/";
    QTest::newRow("Unix root") << "/"
                               << "/";
    QTest::newRow("mixed separators") << "C:\\a/b"
                                      << "C:\\a\\b\\";
    QTest::newRow("trimmed") << "  /srv/yedek/  "
                             << "/srv/yedek/";
    QTest::newRow("share") << "\\\\nas\\yedek"
                           << "\\\\nas\\yedek\\";
    QTest::newRow("share with a slash") << "\\\\SUNUCU/pay/"
                                        << "\\\\SUNUCU\\pay\\";
}

void tst_backupplan::folder()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(BackupFolder(folder), expected);
}

void tst_backupplan::statement_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "STOK"
                           << "C:\\Yedek\\"
                           << "BACKUP DATABASE [STOK] TO DISK=N'C:\\Yedek\\20260307064702-STOK.bak'  WITH "
                              "FORMAT, NO_COMPRESSION, STATS = 10";
    QTest::newRow("name trimmed in statement, not in file")
        << "  STOK "
        << "/y/"
        << "BACKUP DATABASE [STOK] TO DISK=N'/y/20260307064702-  STOK .bak'  WITH FORMAT, "
           "NO_COMPRESSION, STATS = 10";
    QTest::newRow("bracket doubled")
        << "a]b"
        << "/y/"
        << "BACKUP DATABASE [a]]b] TO DISK=N'/y/20260307064702-a]b.bak'  WITH FORMAT, "
           "NO_COMPRESSION, STATS = 10";
    QTest::newRow("quotes doubled in path")
        << "O'Hara"
        << "/y/Ali'nin/"
        << "BACKUP DATABASE [O'Hara] TO DISK=N'/y/Ali''nin/20260307064702-O''Hara.bak'  WITH FORMAT, "
           "NO_COMPRESSION, STATS = 10";
    QTest::newRow("blank, hyphen, leading digit")
        << "2024 Stok-Yeni"
        << "/y"
        << "BACKUP DATABASE [2024 Stok-Yeni] TO DISK=N'/y/20260307064702-2024 "
           "Stok-Yeni.bak'  WITH FORMAT, NO_COMPRESSION, STATS = 10";
    QTest::newRow("Turkish letters")
        << u"ÇARŞI"_s << u"D:\\Yedekler\\Şube"_s
        << u"BACKUP DATABASE [ÇARŞI] TO DISK=N'D:\\Yedekler\\Şube\\20260307064702-ÇARŞI."
           u"bak'  WITH FORMAT, NO_COMPRESSION, STATS = 10"_s;
    QTest::newRow("injection stays inside the literal")
        << "x"
        << "/y/'; DROP DATABASE x; --/"
        << "BACKUP DATABASE [x] TO DISK=N'/y/''; DROP DATABASE x; --/20260307064702-x.bak'  WITH FORMAT, "
           "NO_COMPRESSION, STATS = 10";
}

void tst_backupplan::statement()
{
    QFETCH(QString, database);
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    const BackupPlan plan = PlanBackup(database, folder, kMorning);
    QCOMPARE(plan.statement, expected);
    QVERIFY(plan.filePath.endsWith(plan.fileName));
}

void tst_backupplan::takenNameGetsNext_data()
{
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("nothing taken") << QStringList() << "20260307064702-STOK.bak";
    QTest::newRow("an earlier second")
        << QStringList{u"/y/20260307064701-STOK.bak"_s} << "20260307064702-STOK.bak";
    QTest::newRow("same second") << QStringList{u"/y/20260307064702-STOK.bak"_s}
                                 << "20260307064702-STOK-2.bak";
    QTest::newRow("third in the second")
        << QStringList{u"/y/20260307064702-STOK.bak"_s, u"/y/20260307064702-STOK-2.bak"_s}
        << "20260307064702-STOK-3.bak";
    QTest::newRow("a gap is filled first")
        << QStringList{u"/y/20260307064702-STOK.bak"_s, u"/y/20260307064702-STOK-3.bak"_s}
        << "20260307064702-STOK-2.bak";
    QTest::newRow("another folder") << QStringList{u"/z/20260307064702-STOK.bak"_s}
                                    << "20260307064702-STOK.bak";
    QTest::newRow("another database")
        << QStringList{u"/y/20260307064702-STOKX.bak"_s} << "20260307064702-STOK.bak";
}

void tst_backupplan::takenNameGetsNext()
{
    QFETCH(QStringList, taken);
    QFETCH(QString, fileName);
    const BackupPlan plan =
        PlanBackup(u"STOK"_s, u"/y"_s, kMorning, [&](const QString &path) { return taken.contains(path); });
    QCOMPARE(plan.fileName, fileName);
    QCOMPARE(plan.filePath, u"/y/"_s + fileName);
    QVERIFY(plan.statement.contains(u"N'/y/"_s + fileName + u'\''));
}

void tst_backupplan::connectionString_data()
{
    QTest::addColumn<ConnectionValues>("values");
    QTest::addColumn<QString>("expected");

    const QString tail = u"TDS_Version=7.4;APP=ZANTO POS SQL YEDEKLEME;"_s;
    QTest::newRow("plain") << ConnectionValues{u"srv"_s, u"1433"_s, u"STOK"_s, u"sa"_s, u"pw"_s}
                           << u"DRIVER={FreeTDS};SERVER=srv;PORT=1433;DATABASE=STOK;UID=sa;PWD=pw;"_s + tail;
    QTest::newRow("empty port left to the driver")
        << ConnectionValues{u"srv\\SQLEXPRESS"_s, u""_s, u"STOK"_s, u"sa"_s, u"pw"_s}
        << u"DRIVER={FreeTDS};SERVER=srv\\SQLEXPRESS;DATABASE=STOK;UID=sa;PWD=pw;"_s + tail;
    QTest::newRow("semicolon and equals braced")
        << ConnectionValues{u"srv"_s, u"1"_s, u"a;b"_s, u"u=v"_s, u"p;w=d"_s}
        << u"DRIVER={FreeTDS};SERVER=srv;PORT=1;DATABASE={a;b};UID={u=v};PWD={p;w=d};"_s + tail;
    QTest::newRow("blanks kept, braced")
        << ConnectionValues{u"srv"_s, u"1"_s, u" STOK "_s, u"a b"_s, u" pw"_s}
        << u"DRIVER={FreeTDS};SERVER=srv;PORT=1;DATABASE={ STOK };UID=a b;PWD={ pw};"_s + tail;
    QTest::newRow("braces carried as they stand")
        << ConnectionValues{u"srv"_s, u"1"_s, u"d"_s, u"u"_s, u"{a}}b}"_s}
        << u"DRIVER={FreeTDS};SERVER=srv;PORT=1;DATABASE=d;UID=u;PWD={{a}}b}};"_s + tail;
    QTest::newRow("quotes and Turkish letters unbraced")
        << ConnectionValues{u"srv"_s, u"1"_s, u"d'x"_s, u"kullanıcı"_s, u"şifré\"\""_s}
        << u"DRIVER={FreeTDS};SERVER=srv;PORT=1;DATABASE=d'x;UID=kullanıcı;PWD=şifré\"\";"_s + tail;
    QTest::newRow("all empty") << ConnectionValues{}
                               << u"DRIVER={FreeTDS};SERVER=;DATABASE=;UID=;PWD=;"_s + tail;
}

void tst_backupplan::connectionString()
{
    QFETCH(ConnectionValues, values);
    QFETCH(QString, expected);
    const Result<QString> built = BuildConnectionStringFor(values, u"FreeTDS"_s);
    QVERIFY(built);
    QCOMPARE(built.value(), expected);
    QVERIFY(!built.value().contains(u"Timeout"_s, Qt::CaseInsensitive));
}

void tst_backupplan::microsoftDriverString_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<ConnectionValues>("values");
    QTest::addColumn<QString>("expected");

    QTest::newRow("18 encrypts, certificate not checked")
        << u"ODBC Driver 18 for SQL Server"_s
        << ConnectionValues{u"srv"_s, u"1433"_s, u"STOK"_s, u"sa"_s, u"pw"_s}
        << u"DRIVER={ODBC Driver 18 for SQL Server};SERVER=srv,1433;DATABASE=STOK;UID=sa;PWD=pw;Encrypt=yes;"
           "TrustServerCertificate=yes;APP=ZANTO POS SQL YEDEKLEME;"_s;
    QTest::newRow("17, named instance without port, closing brace doubled")
        << u"ODBC Driver 17 for SQL Server"_s
        << ConnectionValues{u"KASA\\SQLEXPRESS"_s, {}, u"STOK"_s, u"sa"_s, u"a};b"_s}
        << u"DRIVER={ODBC Driver 17 for SQL Server};SERVER=KASA\\SQLEXPRESS;DATABASE=STOK;UID=sa;PWD={a}};b};"
           "APP=ZANTO POS SQL YEDEKLEME;"_s;
}

void tst_backupplan::microsoftDriverString()
{
    QFETCH(QString, driver);
    QFETCH(ConnectionValues, values);
    QFETCH(QString, expected);
    const Result<QString> built = BuildConnectionStringFor(values, driver);
    QVERIFY(built);
    QCOMPARE(built.value(), expected);
    QCOMPARE(SkipsCertificateCheck(driver), expected.contains(u"TrustServerCertificate=yes"_s));
}

void tst_backupplan::chooseDriver_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("chosen");

    const QString v18 = u"ODBC Driver 18 for SQL Server"_s, v17 = u"ODBC Driver 17 for SQL Server"_s;
    const QString native = u"SQL Server Native Client 11.0"_s, freeTds = u"FreeTDS"_s;
    QTest::newRow("newest first") << QStringList{freeTds, u"SQL Server"_s, v17, native, v18} << QString()
                                  << v18;
    QTest::newRow("the oldest over FreeTDS")
        << QStringList{freeTds, u"SQL Server"_s} << QString() << u"SQL Server"_s;
    QTest::newRow("FreeTDS when no Microsoft driver")
        << QStringList{u"MySQL"_s, freeTds} << QString() << freeTds;
    QTest::newRow("asked and installed wins") << QStringList{v18, native} << native << native;
    QTest::newRow("asked in other case")
        << QStringList{v18, v17} << u" odbc driver 17 for sql server"_s << v17;
    QTest::newRow("asked but missing falls back") << QStringList{v17, freeTds} << v18 << v17;
    QTest::newRow("nothing for SQL Server") << QStringList{u"MySQL"_s} << v18 << QString();
}

void tst_backupplan::chooseDriver()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, asked);
    QFETCH(QString, chosen);
    const Result<QString> driver = ChooseDriver(installed, asked);
    if (chosen.isEmpty()) {
        QVERIFY(!driver);
        QVERIFY(driver.failure().reason.contains(u"ODBC Driver 18 for SQL Server'ı kurun"_s));
        QCOMPARE(driver.failure().detail, installed.join(u'\n'));
    } else {
        QVERIFY(driver);
        QCOMPARE(driver.value(), chosen);
    }
}

void tst_backupplan::freeTdsIsListedHere()
{
    const QStringList installed = InstalledDrivers();
    QVERIFY2(installed.contains(u"FreeTDS"_s), qPrintable(installed.join(u", "_s)));
}

void tst_backupplan::valueTheDriverCannotCarry_data()
{
    QTest::addColumn<ConnectionValues>("values");
    QTest::addColumn<QString>("field");

    QTest::newRow("password") << ConnectionValues{u"s"_s, u""_s, u"d"_s, u"u"_s, u"a};b"_s}
                              << u"Sql Şifresi"_s;
    QTest::newRow("database") << ConnectionValues{u"s"_s, u""_s, u"x};"_s, u"u"_s, u"p"_s} << u"Veritabanı"_s;
    QTest::newRow("server") << ConnectionValues{u"};"_s, u""_s, u"d"_s, u"u"_s, u"p"_s} << u"Sql Sunucusu"_s;
}

void tst_backupplan::valueTheDriverCannotCarry()
{
    QFETCH(ConnectionValues, values);
    QFETCH(QString, field);
    const Result<QString> built = BuildConnectionStringFor(values, u"FreeTDS"_s);
    QVERIFY(!built);
    QVERIFY2(built.failure().reason.startsWith(field), qPrintable(built.failure().reason));
}

void tst_backupplan::failureReason_data()
{
    QTest::addColumn<ServerMessages>("messages");
    QTest::addColumn<QString>("reason");

    const ServerMessage changed{5701, u"01000"_s,
                                u"[FreeTDS][SQL Server]Changed database context to 'STOK'."_s};
    const ServerMessage device{3201, u"42000"_s, u"[FreeTDS][SQL Server]Cannot open backup device 'x'."_s};
    const ServerMessage abnormal{3013, u"42000"_s, u"[FreeTDS][SQL Server]BACKUP DATABASE is terminating."_s};
    const ServerMessage loginFailed{18456, u"42000"_s, u"[FreeTDS][SQL Server]Login failed for user 'sa'."_s};
    const ServerMessage noDatabase{4060, u"42000"_s, u"[FreeTDS][SQL Server]Cannot open database \"YOK\"."_s};
    const ServerMessage unreachable{0, u"08001"_s,
                                    u"[FreeTDS][SQL Server]Unable to connect to data source"_s};

    const ServerMessage eof{20017, u"01000"_s, u"[FreeTDS][SQL Server]Unexpected EOF from the server"_s};
    QTest::newRow("nothing") << ServerMessages{} << QString();
    QTest::newRow("lost connection reported as information")
        << ServerMessages{eof, changed} << u"Unexpected EOF from the server"_s;
    QTest::newRow("first server error, prefixes dropped")
        << ServerMessages{changed, device, abnormal} << u"Cannot open backup device 'x'."_s;
    QTest::newRow("the reason for a failed login before the login failure")
        << ServerMessages{loginFailed, noDatabase, unreachable} << u"Cannot open database \"YOK\"."_s;
    QTest::newRow("login failure before the driver's summary")
        << ServerMessages{unreachable, loginFailed} << u"Login failed for user 'sa'."_s;
    QTest::newRow("driver only") << ServerMessages{unreachable} << u"Unable to connect to data source"_s;
}

void tst_backupplan::failureReason()
{
    QFETCH(ServerMessages, messages);
    QFETCH(QString, reason);
    QCOMPARE(FailureReason(messages), reason);
}

QTEST_GUILESS_MAIN(tst_backupplan)
#include "tst_backupplan.moc"
