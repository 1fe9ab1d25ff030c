#include "backup/FailureExplanation.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The rows of the first table after the heading, Markdown's emphasis and code marks dropped.
QStringList TableRows(const QString &document, const QString &heading)
{
    const QStringList lines = document.split(u'\n');
    qsizetype line = lines.indexOf(heading);
    while (line >= 0 && line < lines.size() && !lines.at(line).startsWith(u'|'))
        ++line;
    QStringList rows;
    for (line += 2; line > 1 && line < lines.size() && lines.at(line).startsWith(u'|'); ++line)
        rows.append(QString(lines.at(line)).remove(u'*').remove(u'`'));
    return rows;
}

ServerMessage Diagnostic(int number, const QString &text, const QString &state = u"42000"_s)
{
    return {number, state, u"[FreeTDS][SQL Server]"_s + text};
}

// Microsoft's drivers number their own messages with the system's error and put the server's behind
// "[SQL Server]".
ServerMessage Microsoft(int number, const QString &text, const QString &state = u"08001"_s)
{
    return {number, state, u"[Microsoft][ODBC Driver 18 for SQL Server]"_s + text};
}

} // namespace

class tst_explain : public QObject {
    Q_OBJECT

private slots:
    void documentsFollowTheTable_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("english");
        QTest::newRow("README") << u"README.md"_s << u"### What the common server errors mean"_s << true;
        QTest::newRow("user guide") << u"docs/KULLANIM.md"_s << u"## Sık karşılaşılan hatalar"_s << false;
    }
    void documentsFollowTheTable()
    {
        QFETCH(QString, path);
        QFETCH(QString, heading);
        QFETCH(bool, english);
        QFile file(QString::fromUtf8(KVZ_SOURCE_DIR) + u'/' + path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QStringList rows = TableRows(QString::fromUtf8(file.readAll()), heading);
        const QList<FailureExplanation> &table = FailureExplanations();
        QCOMPARE(rows.size(), table.size());
        for (qsizetype i = 0; i < table.size(); ++i) {
            QVERIFY2(rows.at(i).contains(table.at(i).turkish), qPrintable(table.at(i).turkish));
            QVERIFY2(!english || rows.at(i).contains(table.at(i).meaning), qPrintable(table.at(i).meaning));
            QVERIFY2(!english || rows.at(i).contains(table.at(i).action), qPrintable(table.at(i).action));
        }
    }

    void explainFailure_data()
    {
        QTest::addColumn<ServerMessages>("messages");
        QTest::addColumn<QString>("gist"); // a piece of the Turkish sentence; empty when there is none
        QTest::addColumn<QString>("detail");
        const ServerMessage aborted = Diagnostic(3013, u"BACKUP DATABASE is terminating abnormally."_s);
        const ServerMessage progress =
            Diagnostic(4035, u"Processed 352 pages for database 'STOK'."_s, u"01000"_s);
        const QString noDatabase = u"Cannot open database \"STOK\" requested by the login."_s;
        const QString denied = u"Cannot open backup device 'C:\\Y\\1.bak'. Operating system error 5(Access "
                               "is denied.)."_s;
        const QString missing = u"Cannot open backup device 'C:\\Y 5(eski)\\1.bak'. Operating system error "
                                "3(The system cannot find the path specified.)."_s;
        const QString network = u"Cannot open backup device '\\\\kasa\\y\\1.bak'. Operating system error "
                                "53(The network path was not found.)."_s;
        const QString full =
            u"Write on 'C:\\Y\\1.bak' failed: 112(There is not enough space on the disk.)."_s;
        const QString verify = u"VERIFY DATABASE is terminating abnormally."_s;
        const QString eof = u"Unexpected EOF from the server"_s;

        QTest::newRow("nothing") << ServerMessages{} << QString() << QString();
        QTest::newRow("the login's reason before its failure")
            << ServerMessages{Diagnostic(18456, u"Login failed for user 'sa'."_s),
                              Diagnostic(4060, noDatabase),
                              Diagnostic(0, u"Unable to connect to data source"_s, u"08001"_s)}
            << u"Veritabanı açılamadı"_s << noDatabase + u" (4060)"_s;
        QTest::newRow("access denied")
            << ServerMessages{Diagnostic(3201, denied), aborted} << u"yazamıyor"_s << denied + u" (3201)"_s;
        QTest::newRow("folder missing, a number and bracket in its path")
            << ServerMessages{Diagnostic(3201, missing), aborted} << u"bilgisayarda yok"_s
            << missing + u" (3201)"_s;
        QTest::newRow("another operating system error")
            << ServerMessages{Diagnostic(3201, network), aborted} << u"açamadı"_s << network + u" (3201)"_s;
        QTest::newRow("disk full after progress") << ServerMessages{Diagnostic(3202, full), aborted, progress}
                                                  << u"yer kalmadı"_s << full + u" (3202)"_s;
        QTest::newRow("verification failed")
            << ServerMessages{Diagnostic(3013, verify)} << u"doğrulanamadı"_s << verify + u" (3013)"_s;
        QTest::newRow("a backup's own end alone")
            << ServerMessages{aborted} << QString() << u"BACKUP DATABASE is terminating abnormally. (3013)"_s;
        QTest::newRow("login timeout") << ServerMessages{Diagnostic(0, u"Timeout expired"_s, u"HYT00"_s)}
                                       << u"15 saniye"_s << u"Timeout expired"_s;
        QTest::newRow("connection cut during the backup")
            << ServerMessages{Diagnostic(20017, eof, u"01000"_s), progress} << u"bağlantı koptu"_s
            << eof + u" (20017)"_s;
        QTest::newRow("unknown error") << ServerMessages{Diagnostic(50000, u"Kasa kilitli."_s), aborted}
                                       << QString() << u"Kasa kilitli. (50000)"_s;
        // The same causes in the words of Microsoft's drivers.
        const ServerMessage loginTimeout = Microsoft(0, u"Login timeout expired"_s, u"HYT00"_s);
        const QString refused =
            u"TCP Provider: No connection could be made because the target machine actively refused it."_s;
        const QString networkRelated = u"A network-related or instance-specific error has occurred while "
                                       "establishing a connection to SQL Server. Server is not found or not "
                                       "accessible."_s;
        const QString pipes = u"Named Pipes Provider: Could not open a connection to SQL Server [53]. "_s;
        const QString instance = u"SQL Server Network Interfaces: Error Locating Server/Instance Specified "
                                 "[xFFFFFFFF]. "_s;
        const QString closed =
            u"TCP Provider: An existing connection was forcibly closed by the remote host."_s;
        const QString login = u"[SQL Server]Login failed for user 'x'."_s;
        QTest::newRow("Microsoft: refused")
            << ServerMessages{Microsoft(10061, refused), loginTimeout, Microsoft(10061, networkRelated)}
            << u"ulaşılamadı"_s << refused + u" (10061)"_s;
        QTest::newRow("Microsoft: named pipes")
            << ServerMessages{Microsoft(53, pipes), loginTimeout, Microsoft(53, networkRelated)}
            << u"ulaşılamadı"_s << pipes + u" (53)"_s;
        QTest::newRow("Microsoft: instance not found")
            << ServerMessages{Microsoft(-1, instance), loginTimeout, Microsoft(-1, networkRelated)}
            << u"Browser"_s << instance + u" (-1)"_s;
        QTest::newRow("Microsoft: login timeout")
            << ServerMessages{loginTimeout} << u"15 saniye"_s << u"Login timeout expired"_s;
        QTest::newRow("Microsoft: the login's reason before its failure")
            << ServerMessages{Microsoft(18456, login, u"28000"_s),
                              Microsoft(4060, u"[SQL Server]"_s + noDatabase, u"42000"_s)}
            << u"Veritabanı açılamadı"_s << noDatabase + u" (4060)"_s;
        QTest::newRow("Microsoft: certificate not trusted")
            << ServerMessages{Microsoft(-2146893019, u"SSL Provider: The certificate chain was issued by an "
                                                     "authority that is not trusted."_s),
                              Microsoft(-2146893019, u"Client unable to establish connection"_s)}
            << u"sertifika"_s
            << u"SSL Provider: The certificate chain was issued by an authority that is not trusted. "
               "(-2146893019)"_s;
        QTest::newRow("Microsoft: handshake")
            << ServerMessages{Microsoft(10054, closed),
                              Microsoft(26, u"Client unable to establish connection because an error was "
                                            "encountered during handshakes before login."_s)}
            << u"TLS 1.2"_s << closed + u" (10054)"_s;
        QTest::newRow("Microsoft: no such driver")
            << ServerMessages{{0, u"IM002"_s,
                               u"[Microsoft][ODBC Driver Manager] Data source name not found and no default "
                               "driver specified"_s}}
            << u"surucu"_s << u"Data source name not found and no default driver specified"_s;
        const QString fullOnOpen = u"Cannot open backup device 'C:\\Y\\1.bak'. Operating system error "
                                   "112(There is not enough space on the disk.)."_s;
        QTest::newRow("Microsoft: disk full on open")
            << ServerMessages{Microsoft(3201, u"[SQL Server]"_s + fullOnOpen, u"42000"_s)} << u"yer kalmadı"_s
            << fullOnOpen + u" (3201)"_s;
        QTest::newRow("Microsoft: connection cut during the backup")
            << ServerMessages{progress, Microsoft(10054, closed, u"08S01"_s),
                              Microsoft(0, u"Communication link failure"_s, u"08S01"_s)}
            << u"bağlantı koptu"_s << closed + u" (10054)"_s;
        // The same errors while the server reads the new file back.
        const QString gone = u"Cannot open backup device '/y/1.bak'. Operating system error 2(The system "
                             "cannot find the file specified.)."_s;
        const ServerMessage verifyEnd = Diagnostic(3013, verify);
        QTest::newRow("verifying: access denied") << ServerMessages{Diagnostic(3201, denied), verifyEnd}
                                                  << u"geri okuyamadı"_s << denied + u" (3201)"_s;
        QTest::newRow("verifying: file gone") << ServerMessages{Diagnostic(3201, gone), verifyEnd}
                                              << u"doğrulamak için açamadı"_s << gone + u" (3201)"_s;
        QTest::newRow("verifying: connection cut") << ServerMessages{Diagnostic(20017, eof, u"01000"_s)}
                                                   << u"Yeni yedek doğrulanamadı"_s << eof + u" (20017)"_s;
    }
    void explainFailure()
    {
        QFETCH(ServerMessages, messages);
        QFETCH(QString, gist);
        QFETCH(QString, detail);
        const bool verifying = QByteArrayView(QTest::currentDataTag()).startsWith("verifying");
        const QString explained =
            ExplainFailure(messages, verifying ? FailureStep::Verify : FailureStep::Backup);
        QVERIFY2(explained.section(u'\n', 0, 0).contains(gist), qPrintable(explained));
        QCOMPARE(explained.section(u'\n', gist.isEmpty() ? 0 : 1), detail);
    }
};

QTEST_GUILESS_MAIN(tst_explain)
#include "tst_explain.moc"
