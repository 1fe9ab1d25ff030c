#include "settings/BackupSettings.h"
#include "settings/ConnectionSettings.h"
#include "settings/ProfileFormat.h"
#include "settings/ayarkayit.h"
#include "support/SystemQuestions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_ayarkayit : public QObject {
    Q_OBJECT

private slots:
    void passwordFileClosedToOthers_data();
    void passwordFileClosedToOthers();
    void init();

    void read_data();
    void read();
    void write_data();
    void write();
    void rejectsWhatCannotStandOnOneLine_data();
    void rejectsWhatCannotStandOnOneLine();

    void missingFileReadsEmpty();
    void writtenValueReadsBack_data();
    void writtenValueReadsBack();
    void createsFileForOwnerOnly();
    void failedWriteLeavesFileAlone();
    void unreadableFileIsNotReplaced();
    void writeIntoFolderThatIsMissingFails();
    void writeThroughLinkToMissingFile();
    void handWrittenOptions_data();
    void handWrittenOptions();
    void driverNamedByHand();

private:
    QString path(const QString &name) const { return dir_->filePath(name); }
    void put(const QString &name, const QByteArray &bytes) const;
    QByteArray get(const QString &name) const;

    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_ayarkayit::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void tst_ayarkayit::put(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray tst_ayarkayit::get(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_ayarkayit::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "[ayar]\nsqladi=SUNUCU\n"_ba
                           << "ayar"
                           << "sqladi"
                           << "SUNUCU";
    QTest::newRow("names without case") << "[AYAR]\nSqlAdi=x\n"_ba
                                        << "ayar"
                                        << "SQLADI"
                                        << "x";
    QTest::newRow("blanks around names and value") << " [ ayar ] \n  port  =  1433  \n"_ba
                                                   << "ayar"
                                                   << "port"
                                                   << "1433";
    QTest::newRow("blanks inside value kept") << "[ayar]\nsqlsifre= a b \n"_ba
                                              << "ayar"
                                              << "sqlsifre"
                                              << "a b";
    QTest::newRow("CRLF lines") << "[ayar]\r\nport=1433\r\n"_ba
                                << "ayar"
                                << "port"
                                << "1433";
    QTest::newRow("missing section") << "[diger]\nport=1\n"_ba
                                     << "ayar"
                                     << "port"
                                     << "";
    QTest::newRow("missing key") << "[ayar]\nsqladi=x\n"_ba
                                 << "ayar"
                                 << "port"
                                 << "";
    QTest::newRow("key of another section") << "[ayar]\n[diger]\nport=1\n"_ba
                                            << "ayar"
                                            << "port"
                                            << "";
    QTest::newRow("first duplicate key wins") << "[ayar]\nport=1\nport=2\n"_ba
                                              << "ayar"
                                              << "port"
                                              << "1";
    QTest::newRow("first duplicate section wins") << "[ayar]\na=1\n[ayar]\na=2\nb=3\n"_ba
                                                  << "ayar"
                                                  << "b"
                                                  << "";
    QTest::newRow("equals inside value") << "[ayar]\nsqlsifre=a=b;c\n"_ba
                                         << "ayar"
                                         << "sqlsifre"
                                         << "a=b;c";
    QTest::newRow("quotes kept") << "[ayar]\nsqlsifre=\"x\"\n"_ba
                                 << "ayar"
                                 << "sqlsifre"
                                 << "\"x\"";
    QTest::newRow("key without equals") << "[ayar]\nport\n"_ba
                                        << "ayar"
                                        << "port"
                                        << "";
    QTest::newRow("comment line") << "[ayar]\n;port=1\nport=2\n"_ba
                                  << "ayar"
                                  << "port"
                                  << "2";
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF[ayar]\nsqldata=ŞÜĞİ\n"_ba
                                    << "ayar"
                                    << "sqldata" << u"ŞÜĞİ"_s;
    QTest::newRow("Windows-1254 line") << "[ayar]\nsaklanacak-yer=C:\\Yede\xF0\xFD\xFE\xDD\xDE\xD0\\\n"_ba
                                       << "ayar"
                                       << "saklanacak-yer" << u"C:\\Yedeğışİ\u015EĞ\\"_s;
    QTest::newRow("Windows-1254 only on its own line") << "[ayar]\nsqladi=\xFE\nsqldata=ş\n"_ba
                                                       << "ayar"
                                                       << "sqldata" << u"ş"_s;
    QTest::newRow("Windows-1254 euro and quotes") << "[ayar]\nsqlsifre=\x80\x93x\x94\n"_ba
                                                  << "ayar"
                                                  << "sqlsifre" << u"€“x”"_s;
    QTest::newRow("cut to 254") << "[ayar]\nk="_ba + QByteArray(300, 'a') + "\n"
                                << "ayar"
                                << "k" << QString(254, u'a');
    QTest::newRow("cut counts letters, not bytes") << "[ayar]\nk="_ba + QString(300, u'ş').toUtf8() << "ayar"
                                                   << "k" << QString(254, u'ş');
    QTest::newRow("NUL ends a value, as in a C string")
        << QByteArray("[ayar]\nsqladi=SUN\0UCU\n", 22) << "ayar"
        << "sqladi"
        << "SUN";
    QTest::newRow("lines ending in a lone CR") << "[ayar]\rport=1433\r"_ba
                                               << "ayar"
                                               << "port"
                                               << "1433";
    QTest::newRow("NUL bytes do not stop the reader") << QByteArray("[ayar]\nx=\0\0\nport=7\n", 19) << "ayar"
                                                      << "port"
                                                      << "7";
    QTest::newRow("garbage") << "\xFF\xFE\x00\x01[[[=]]]\n==\n"_ba
                             << "ayar"
                             << "port"
                             << "";
}

void tst_ayarkayit::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    put(u"f.txt"_s, content);
    QCOMPARE(ReadSetting(section, key, path(u"f.txt"_s)), expected);
}

void tst_ayarkayit::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << ""_ba
                              << "port"
                              << "1433"
                              << "[ayar]\nport=1433\n"_ba;
    QTest::newRow("replace keeps the others") << "; kept\n[ayar]\nsqladi = A \nport=1\nsqldata=B\n"_ba
                                              << "port"
                                              << "2"
                                              << "; kept\n[ayar]\nsqladi = A \nport=2\nsqldata=B\n"_ba;
    QTest::newRow("replace keeps CRLF and the key's spelling") << "[AYAR]\r\nPORT=1\r\nx=y\r\n"_ba
                                                               << "port"
                                                               << "2"
                                                               << "[AYAR]\r\nPORT=2\r\nx=y\r\n"_ba;
    QTest::newRow("add to section before a blank line") << "[ayar]\na=1\n\n[diger]\nb=2\n"_ba
                                                        << "c"
                                                        << "3"
                                                        << "[ayar]\na=1\nc=3\n\n[diger]\nb=2\n"_ba;
    QTest::newRow("add after lines ending in a lone CR") << "[ayar]\ra=1\r"_ba
                                                         << "c"
                                                         << "3"
                                                         << "[ayar]\ra=1\rc=3\r"_ba;
    QTest::newRow("add at end without newline") << "[ayar]\na=1"_ba
                                                << "c"
                                                << "3"
                                                << "[ayar]\na=1\nc=3"_ba;
    QTest::newRow("add section") << "[diger]\nb=2"_ba
                                 << "c"
                                 << "3"
                                 << "[diger]\nb=2\n[ayar]\nc=3\n"_ba;
    QTest::newRow("Windows-1254 line kept byte for byte")
        << "[ayar]\nsaklanacak-yer=D:\\\xDE\xFD\\\nport=1\n"_ba
        << "port"
        << "2"
        << "[ayar]\nsaklanacak-yer=D:\\\xDE\xFD\\\nport=2\n"_ba;
    QTest::newRow("only first duplicate changes") << "[ayar]\nport=1\nport=9\n"_ba
                                                  << "port"
                                                  << "2"
                                                  << "[ayar]\nport=2\nport=9\n"_ba;
    QTest::newRow("value as given, blanks included") << ""_ba
                                                     << "sqldata"
                                                     << " STOK "
                                                     << "[ayar]\nsqldata= STOK \n"_ba;
    QTest::newRow("empty value") << "[ayar]\nport=1\n"_ba
                                 << "port"
                                 << ""
                                 << "[ayar]\nport=\n"_ba;
    QTest::newRow("Turkish value in UTF-8") << ""_ba
                                            << "sqldata" << u"ÇİĞ"_s << "[ayar]\nsqldata=ÇİĞ\n"_ba;
}

void tst_ayarkayit::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        put(u"f.txt"_s, before);
    QVERIFY(WriteSetting(u"ayar"_s, key, value, path(u"f.txt"_s)));
    QCOMPARE(get(u"f.txt"_s), after);
}

void tst_ayarkayit::rejectsWhatCannotStandOnOneLine_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("line break in value forges a key") << "ayar"
                                                      << "sqlsifre"
                                                      << "x\nsqladi=evil";
    QTest::newRow("carriage return in value") << "ayar"
                                              << "sqlsifre"
                                              << "x\ry";
    QTest::newRow("NUL in value") << "ayar"
                                  << "sqlsifre" << QString(u"x\0y"_s);
    QTest::newRow("equals in key") << "ayar"
                                   << "a=b"
                                   << "1";
    QTest::newRow("empty key") << "ayar"
                               << " "
                               << "1";
    QTest::newRow("bracket in section") << "ay]ar"
                                        << "a"
                                        << "1";
}

void tst_ayarkayit::rejectsWhatCannotStandOnOneLine()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    put(u"f.txt"_s, "[ayar]\nsqladi=good\n"_ba);
    QVERIFY(!WriteSetting(section, key, value, path(u"f.txt"_s)));
    QCOMPARE(get(u"f.txt"_s), "[ayar]\nsqladi=good\n"_ba);
}

void tst_ayarkayit::missingFileReadsEmpty()
{
    QCOMPARE(ReadSetting(u"ayar"_s, u"sqladi"_s, path(u"yok.txt"_s)), QString());
    QVERIFY(!QFile::exists(path(u"yok.txt"_s)));
}

void tst_ayarkayit::writtenValueReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("symbols") << "p;a'ss\"}]{="
                             << "p;a'ss\"}]{=";
    QTest::newRow("blanks around dropped") << "  x y  "
                                           << "x y";
    QTest::newRow("tabs around dropped") << "\tx\t"
                                         << "x";
    QTest::newRow("non-breaking spaces kept") << u"\u00A0gizli\u00A0"_s << u"\u00A0gizli\u00A0"_s;
    QTest::newRow("ideographic space kept") << u"gizli\u3000"_s << u"gizli\u3000"_s;
    QTest::newRow("254 Turkish letters") << QString(254, u'ğ') << QString(254, u'ğ');
    QTest::newRow("longer value cut on read") << QString(400, u'İ') << QString(254, u'İ');
    QTest::newRow("leading bracket") << "[ayar]"
                                     << "[ayar]";
}

void tst_ayarkayit::writtenValueReadsBack()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    const QString file = path(u"KVZ.dll"_s);
    QVERIFY(WriteSetting(u"ayar"_s, u"sqlsifre"_s, value, file));
    QVERIFY(WriteSetting(u"ayar"_s, u"port"_s, u"1433"_s, file));
    QCOMPARE(ReadSetting(u"ayar"_s, u"sqlsifre"_s, file), readBack);
    QCOMPARE(ReadSetting(u"ayar"_s, u"port"_s, file), u"1433"_s);
}

void tst_ayarkayit::createsFileForOwnerOnly()
{
    if (const QString why = WithoutModeBits(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString file = path(u"KVZ.dll"_s);
    QVERIFY(WriteSetting(u"ayar"_s, u"sqlsifre"_s, u"gizli"_s, file));
    QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner));
}

void tst_ayarkayit::failedWriteLeavesFileAlone()
{
    if (RunsAsSuperUser())
        QSKIP("the superuser writes into read-only folders");
    put(u"f.txt"_s, "[ayar]\nport=1\n"_ba);
    QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::ExeOwner);
    const Outcome written = WriteSetting(u"ayar"_s, u"port"_s, u"2"_s, path(u"f.txt"_s));
    QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QVERIFY(written.failure().reason.startsWith(u"Ayar dosyası yazılamadı: "_s));
    QCOMPARE(get(u"f.txt"_s), "[ayar]\nport=1\n"_ba);
}

void tst_ayarkayit::unreadableFileIsNotReplaced()
{
    QVERIFY(QDir(dir_->path()).mkdir(u"klasor"_s));
    QVERIFY(!WriteSetting(u"ayar"_s, u"port"_s, u"2"_s, path(u"klasor"_s)));
    QVERIFY(QFileInfo(path(u"klasor"_s)).isDir());
    QCOMPARE(ReadSetting(u"ayar"_s, u"port"_s, path(u"klasor"_s)), QString());
}

void tst_ayarkayit::writeIntoFolderThatIsMissingFails()
{
    QVERIFY(!WriteSetting(u"ayar"_s, u"port"_s, u"2"_s, path(u"yok/f.txt"_s)));
}

void tst_ayarkayit::writeThroughLinkToMissingFile()
{
    if (const QString why = WithoutSymbolicLinks(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(QFile::link(path(u"silinmis.txt"_s), path(u"f.txt"_s)));
    QVERIFY(WriteSetting(u"ayar"_s, u"port"_s, u"2"_s, path(u"f.txt"_s)));
    QVERIFY(QFileInfo(path(u"f.txt"_s)).isSymLink());
    QCOMPARE(ReadSetting(u"ayar"_s, u"port"_s, path(u"silinmis.txt"_s)), u"2"_s);
}

void tst_ayarkayit::passwordFileClosedToOthers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("otherOwner");
    QTest::addColumn<int>("modeAfter");
    QTest::newRow("readable by all") << 0644 << false << 0600;
    QTest::newRow("writable by the group") << 0620 << false << 0600;
    QTest::newRow("already closed") << 0600 << false << 0600;
    QTest::newRow("another owner's, open") << 0644 << true << 0644;
}

// Every read of the password file closes it to other users when this user may; when another user owns
// it, the settings window is told so, naming the file.
void tst_ayarkayit::passwordFileClosedToOthers()
{
    QFETCH(int, mode);
    QFETCH(bool, otherOwner);
    QFETCH(int, modeAfter);
    if (const QString why = WithoutModeBits(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString file = path(u"KVZ.dll"_s);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write("[ayar]\nsqlsifre=gizli\n") > 0);
    out.close();
    QVERIFY(::chmod(QFile::encodeName(file).constData(), mode_t(mode)) == 0);
    if (otherOwner && !GiveToAnotherUser(file))
        QSKIP("giving the file to another user needs root");

    QCOMPARE(LoadConnectionValues(file)->password, u"gizli"_s);
    struct stat status {};
    QVERIFY(::stat(QFile::encodeName(file).constData(), &status) == 0);
    QCOMPARE(int(status.st_mode & 0777), modeAfter);
    const std::optional<QString> warning = ConnectionFileWarning(file);
    QCOMPARE(warning.has_value(), otherOwner);
    if (warning)
        QVERIFY(warning->contains(file));
}

QTEST_GUILESS_MAIN(tst_ayarkayit)
// What a shop's technician types into the file by hand: every common way of saying yes or no, and a day
// count with blanks around it; anything else is unusable (nothing), never silently "off" or "keep all".
void tst_ayarkayit::handWrittenOptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<bool>>("verify");
    QTest::addColumn<std::optional<int>>("keepDays");
    QTest::addColumn<std::optional<int>>("restoreDays");

    const std::optional<bool> on = true, off = false, unusable;
    const std::optional<int> noDays;
    QTest::newRow("empty") << QString() << off << std::optional(0) << std::optional(0);
    QTest::newRow("1") << u" 1 "_s << on << std::optional(1) << std::optional(1);
    QTest::newRow("0") << u"0"_s << off << std::optional(0) << std::optional(0);
    for (const QString &yes :
         {u"evet"_s, u"EVET"_s, u"Açık"_s, u"AÇIK"_s, u"acik"_s, u"true"_s, u"On"_s, u"YES"_s})
        QTest::addRow("yes: %s", qPrintable(yes)) << yes << on << noDays << noDays;
    for (const QString &no :
         {u"hayır"_s, u"HAYIR"_s, u"Kapalı"_s, u"KAPALI"_s, u"FALSE"_s, u"off"_s, u"No"_s})
        QTest::addRow("no: %s", qPrintable(no)) << no << off << noDays << noDays;
    QTest::newRow("blanks around days") << u"  7\t"_s << unusable << std::optional(7) << std::optional(7);
    QTest::newRow("a year between tests") << u"365"_s << unusable << std::optional(365) << std::optional(365);
    QTest::newRow("past a year") << u"366"_s << unusable << std::optional(366) << noDays;
    QTest::newRow("most days") << u"3650"_s << unusable << std::optional(3650) << noDays;
    for (const QString &bad : {u"abc"_s, u"-1"_s, u"99999"_s, u"3 gün"_s, u"+3"_s, u"3650.5"_s})
        QTest::addRow("unusable: %s", qPrintable(bad)) << bad << unusable << noDays << noDays;
}

void tst_ayarkayit::handWrittenOptions()
{
    QFETCH(QString, text);
    QFETCH(std::optional<bool>, verify);
    QFETCH(std::optional<int>, keepDays);
    QFETCH(std::optional<int>, restoreDays);
    QCOMPARE(VerifyOf(text), verify);
    QCOMPARE(KeepDaysOf(text), keepDays);
    QCOMPARE(RestoreTestDaysOf(text), restoreDays);
}

// Saving from the settings window, which knows nothing of the driver, must not drop the one support named.
void tst_ayarkayit::driverNamedByHand()
{
    const QString file = path(u"KVZ.dll"_s);
    put(u"KVZ.dll"_s, "[diger]\nsurucu=X\n[ayar]\nsurucu=ODBC Driver 17 for SQL Server\nsqladi=A\n");
    QVERIFY(StoreConnectionValues(ConnectionValues{u"B"_s, u"1"_s, u"D"_s, u"u"_s, u"p"_s}, file));
    const Result<ConnectionValues> reread = LoadConnectionValues(file);
    QCOMPARE(reread->server, u"B"_s);
    QCOMPARE(reread->driver, u"ODBC Driver 17 for SQL Server"_s);
}

#include "tst_ayarkayit.moc"
