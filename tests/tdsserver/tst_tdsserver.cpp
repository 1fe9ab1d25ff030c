#include "backupfile.h"
#include "backupstatement.h"
#include "faultbytes.h"
#include "login7.h"
#include "packetreader.h"
#include "packetwriter.h"
#include "platform/Odbc.h"
#include "support/WholeBackupFile.h"
#include "tdstestserver.h"
#include "tokenwriter.h"
#include "verifystatement.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;
using tdstest::TdsTestServer;

namespace {

const QString User = u"backup_operator"_s;
const QString Password = u"S3cret"_s;

struct Diagnostic {
    QString state;
    int native = 0;
    QString text;
    qint64 atMs = 0; // when the client collected it, from the client's start
};

// Just enough raw ODBC to drive FreeTDS the way a client program does.
class OdbcClient {
public:
    OdbcClient()
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
        clock_.start();
    }
    ~OdbcClient()
    {
        freeStatement();
        if (connected_)
            SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    OdbcClient(const OdbcClient &) = delete;
    OdbcClient &operator=(const OdbcClient &) = delete;

    // The wide call: FreeTDS reads a narrow connection string as Latin-1.
    bool connect(const QString &connectionString, int loginTimeoutSeconds)
    {
        SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(SQLULEN(loginTimeoutSeconds)), 0);
        const SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, wide(connectionString), SQL_NTS, nullptr, 0,
                                               nullptr, SQL_DRIVER_NOPROMPT);
        collect(SQL_HANDLE_DBC, dbc_);
        connected_ = SQL_SUCCEEDED(rc);
        return connected_;
    }

    QString currentCatalog()
    {
        SQLWCHAR name[256] = {};
        SQLINTEGER length = 0;
        SQLGetConnectAttrW(dbc_, SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length);
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(name), length / 2);
    }

    SQLRETURN execute(const QString &sql, int queryTimeoutSeconds = 0)
    {
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_);
        SQLSetStmtAttr(stmt_, SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(SQLULEN(queryTimeoutSeconds)), 0);
        lastResult_ = SQLExecDirectW(stmt_, wide(sql), SQL_NTS);
        collect(SQL_HANDLE_STMT, stmt_);
        return lastResult_;
    }

    // Counts the further results; every one must be read or FreeTDS cancels the batch.
    int readAllResults()
    {
        int results = 0;
        for (;;) {
            const SQLRETURN rc = SQLMoreResults(stmt_);
            if (rc == SQL_NO_DATA)
                return results;
            lastResult_ = rc;
            collect(SQL_HANDLE_STMT, stmt_);
            if (!SQL_SUCCEEDED(rc))
                return results;
            ++results;
        }
    }

    // What a client program sees of a batch: the answer to its last result, every result read.
    SQLRETURN run(const QString &sql)
    {
        execute(sql);
        readAllResults();
        return lastResult_;
    }

    SQLRETURN lastResult() const { return lastResult_; }

    QList<Diagnostic> diagnostics() const { return diagnostics_; }
    qint64 elapsedMs() const { return clock_.elapsed(); }

    void freeStatement()
    {
        if (stmt_)
            SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
        stmt_ = nullptr;
    }

    QList<int> natives() const
    {
        QList<int> numbers;
        for (const Diagnostic &d : diagnostics_)
            numbers.append(d.native);
        return numbers;
    }

    QStringList states() const
    {
        QStringList states;
        for (const Diagnostic &d : diagnostics_)
            states.append(d.state);
        return states;
    }

    QString allText() const { return text_; }

private:
    static SQLWCHAR *wide(const QString &text)
    {
        return reinterpret_cast<SQLWCHAR *>(
            const_cast<char16_t *>(reinterpret_cast<const char16_t *>(text.utf16())));
    }

    void collect(SQLSMALLINT type, SQLHANDLE handle)
    {
        SQLWCHAR state[6];
        SQLWCHAR text[1024];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        for (SQLSMALLINT i = 1;; ++i) {
            const SQLRETURN rc =
                SQLGetDiagRecW(type, handle, i, state, &native, text, SQLSMALLINT(std::size(text)), &length);
            if (!SQL_SUCCEEDED(rc))
                break;
            // A longer text comes cut to the buffer, ended by a zero. FreeTDS reports the whole text's length
            // in 16 bits, so a text of more than 32 767 characters (prefixes included) comes with a negative
            // one.
            const auto *chars = reinterpret_cast<const char16_t *>(text);
            const bool cut = length < 0 || length >= SQLSMALLINT(std::size(text));
            const QString message = cut ? QString::fromUtf16(chars) : QString::fromUtf16(chars, length);
            diagnostics_.append({QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5), native,
                                 message, clock_.elapsed()});
            text_ += message + u'\n';
        }
    }

    SQLHENV env_ = nullptr;
    SQLHDBC dbc_ = nullptr;
    SQLHSTMT stmt_ = nullptr;
    SQLRETURN lastResult_ = SQL_SUCCESS;
    QElapsedTimer clock_;
    bool connected_ = false;
    QList<Diagnostic> diagnostics_;
    QString text_;
};

QString connectionString(quint16 port, const QString &database, const QString &user, const QString &password)
{
    return u"DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=%1;DATABASE={%2};UID={%3};PWD={%4};TDS_Version=7.4;"
           u"APP=tst_tdsserver"_s.arg(port)
               .arg(database, user, password);
}

QByteArray packet(tdstest::PacketType type, quint8 status, const QByteArray &payload)
{
    char header[tdstest::kPacketHeaderSize] = {char(type), char(status)};
    qToBigEndian(quint16(tdstest::kPacketHeaderSize + payload.size()), header + 2);
    return QByteArray(header, tdstest::kPacketHeaderSize) + payload;
}

enum class Misbehaviour {
    None,
    ErrorAfterProgress,
    DropDuringBackup,
    MoreResults,
    Silent,
    SlowLogin,
    SlowerLogin
};

// What the server did with a path before it is verified.
enum class Earlier { Nothing, Backup, DamagedBackup };

// However a test ends, a client stuck on a held connection gets it closed and returns.
struct DropOnExit {
    TdsTestServer &server;
    ~DropOnExit() { server.release(tdstest::Release::Drop); }
};

// However a test ends, the command-line server it started ends with it.
struct TerminateOnExit {
    QProcess &cli;
    ~TerminateOnExit()
    {
        cli.terminate();
        cli.waitForFinished(5000);
    }
};

// One of the faults that corrupt or cut the conversation, as the test server's switches set it.
struct Fault {
    tdstest::LoginDrop loginDrop = tdstest::LoginDrop::None;
    tdstest::Answer garbage = tdstest::Answer::None;
    tdstest::LengthLie lie = tdstest::LengthLie::None;
    tdstest::Answer lieIn = tdstest::Answer::None;
    tdstest::LongMessage longMessage = tdstest::LongMessage::None;

    void applyTo(TdsTestServer &server) const
    {
        server.setDropDuringLogin(loginDrop);
        server.setGarbageInstead(garbage);
        server.setLengthLie(lie, lieIn);
        server.setLongMessage(longMessage);
    }
};

} // namespace

Q_DECLARE_METATYPE(Misbehaviour)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Earlier)
Q_DECLARE_METATYPE(tdstest::Release)
Q_DECLARE_METATYPE(tdstest::LongMessage)

class TstTdsServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void passwordDeobfuscation_data()
    {
        QTest::addColumn<QByteArray>("obfuscated");
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("ascii") << QByteArray::fromHex("92a5b3a5") << u"sa"_s;
        QTest::newRow("connection string punctuation") << QByteArray::fromHex("16a572a5") << u";}"_s;
        QTest::newRow("turkish letters") << QByteArray::fromHex("50b5a6b5") << u"şİ"_s;
    }
    void passwordDeobfuscation()
    {
        QFETCH(QByteArray, obfuscated);
        QFETCH(QString, password);
        QCOMPARE(tdstest::DeobfuscatePassword(obfuscated), password);
    }

    void recognisesBackupBatches_data()
    {
        QTest::addColumn<QString>("batch");
        QTest::addColumn<bool>("isBackup");
        QTest::newRow("upper case") << u"BACKUP DATABASE a TO DISK = 'x'"_s << true;
        QTest::newRow("lower case after comments") << u"/* c */ -- d\n backup database"_s << true;
        QTest::newRow("driver set-up") << u"SET TEXTSIZE 2147483647"_s << false;
        QTest::newRow("longer word") << u"BACKUPS"_s << false;
        QTest::newRow("inside a string") << u"SELECT 'BACKUP'"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void recognisesBackupBatches()
    {
        QFETCH(QString, batch);
        QFETCH(bool, isBackup);
        QCOMPARE(tdstest::BackupStatementParser::isBackup(batch), isBackup);
    }

    void parsesBackupStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("stats");
        QTest::newRow("bare name, plain path") << u"BACKUP DATABASE Shop TO DISK = 'C:\\b\\shop.bak'"_s
                                               << u"Shop"_s << u"C:\\b\\shop.bak"_s << 0;
        QTest::newRow("any case and whitespace")
            << u"  backup\tDataBase\r\n shop_2024\n to   disk='/tmp/s.bak'  ;  "_s << u"shop_2024"_s
            << u"/tmp/s.bak"_s << 0;
        QTest::newRow("bracketed name with ]]")
            << u"BACKUP DATABASE [my]]db] TO DISK = N'/tmp/a.bak'"_s << u"my]db"_s << u"/tmp/a.bak"_s << 0;
        QTest::newRow("bracketed name with spaces and [")
            << u"BACKUP DATABASE [Sales [EU]] 2024] TO DISK = N'/t/x.bak'"_s << u"Sales [EU] 2024"_s
            << u"/t/x.bak"_s << 0;
        QTest::newRow("double-quoted name")
            << u"BACKUP DATABASE \"a \"\"b\"\"\" TO DISK = 'p'"_s << u"a \"b\""_s << u"p"_s << 0;
        QTest::newRow("quote doubled in path") << u"BACKUP DATABASE x TO DISK = N'/tmp/o''brien''s.bak'"_s
                                               << u"x"_s << u"/tmp/o'brien's.bak"_s << 0;
        QTest::newRow("path with ; and ]")
            << u"BACKUP DATABASE x TO DISK = N'/tmp/a;b].bak'"_s << u"x"_s << u"/tmp/a;b].bak"_s << 0;
        QTest::newRow("turkish letters") << u"BACKUP DATABASE [Müşteri İşlem] TO DISK = N'/tmp/ğüşıöç.bak'"_s
                                         << u"Müşteri İşlem"_s << u"/tmp/ğüşıöç.bak"_s << 0;
        QTest::newRow("comments as whitespace")
            << u"BACKUP /* a /* nested */ one */ DATABASE db -- to somewhere\nTO DISK = 'p'"_s << u"db"_s
            << u"p"_s << 0;
        QTest::newRow("options with stats value")
            << u"BACKUP DATABASE db TO DISK = N'p' WITH FORMAT, INIT, NAME = N'full', STATS = 5, CHECKSUM"_s
            << u"db"_s << u"p"_s << 5;
        QTest::newRow("stats without value")
            << u"backup database db to disk = 'p' with stats"_s << u"db"_s << u"p"_s << 10;
    }
    void parsesBackupStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, database);
        QFETCH(QString, path);
        QFETCH(int, stats);
        const tdstest::BackupParse parse = tdstest::BackupStatementParser::parse(statement);
        QVERIFY2(parse.statement, qPrintable(parse.errors.value(0).text));
        QCOMPARE(parse.statement->database, database);
        QCOMPARE(parse.statement->path, path);
        QCOMPARE(parse.statement->statsPercent, stats);
    }

    void rejectsBadBackupStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QString>("firstText");
        QTest::newRow("missing =") << u"BACKUP DATABASE db TO DISK N'p'"_s << QList<int>{102}
                                   << u"Incorrect syntax near 'N'p''."_s;
        QTest::newRow("text ends early")
            << u"BACKUP DATABASE db"_s << QList<int>{102} << u"Incorrect syntax near 'db'."_s;
        QTest::newRow("keyword as name") << u"BACKUP DATABASE TO DISK = 'p'"_s << QList<int>{156}
                                         << u"Incorrect syntax near the keyword 'TO'."_s;
        QTest::newRow("unclosed path") << u"BACKUP DATABASE db TO DISK = 'p"_s << QList<int>{105, 102}
                                       << u"Unclosed quotation mark after the character string 'p'."_s;
        QTest::newRow("unclosed bracket")
            << u"BACKUP DATABASE [db TO DISK = 'p'"_s << QList<int>{105, 102}
            << u"Unclosed quotation mark after the character string 'db TO DISK = 'p''."_s;
        QTest::newRow("unknown option") << u"BACKUP DATABASE db TO DISK = 'p' WITH FROB"_s << QList<int>{155}
                                        << u"'FROB' is not a recognized BACKUP option."_s;
        QTest::newRow("trailing garbage") << u"BACKUP DATABASE db TO DISK = 'p' extra"_s << QList<int>{102}
                                          << u"Incorrect syntax near 'extra'."_s;
        QTest::newRow("undeclared variable") << u"BACKUP DATABASE @db TO DISK = 'p'"_s << QList<int>{137}
                                             << u"Must declare the scalar variable \"@db\"."_s;
        QTest::newRow("log backup") << u"BACKUP LOG db TO DISK = 'p'"_s << QList<int>{102}
                                    << u"Incorrect syntax near 'LOG'."_s;
        QTest::newRow("unclosed comment") << u"BACKUP DATABASE db /* TO DISK = 'p'"_s << QList<int>{113}
                                          << u"Missing end comment mark '*/'."_s;
    }
    void rejectsBadBackupStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QList<int>, numbers);
        QFETCH(QString, firstText);
        const tdstest::BackupParse parse = tdstest::BackupStatementParser::parse(statement);
        QVERIFY(!parse.statement);
        QList<int> actual;
        for (const tdstest::ServerMessage &error : parse.errors) {
            actual.append(error.number);
            QCOMPARE(error.severity, quint8(15));
        }
        QCOMPARE(actual, numbers);
        QCOMPARE(parse.errors.constFirst().text, firstText);
    }

    // An empty path stands for a statement the server refuses with the error numbered.
    void parsesVerifyStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::newRow("with checksum")
            << u"RESTORE VERIFYONLY FROM DISK = N'/b/x.bak' WITH CHECKSUM"_s << u"/b/x.bak"_s << 0;
        QTest::newRow("bare, quote doubled")
            << u"restore verifyonly from disk='/b/o''brien.bak';"_s << u"/b/o'brien.bak"_s << 0;
        QTest::newRow("several options")
            << u"RESTORE VERIFYONLY FROM DISK = 'p' WITH FILE = 1, STATS = 10"_s << u"p"_s << 0;
        QTest::newRow("backup option")
            << u"RESTORE VERIFYONLY FROM DISK = 'p' WITH FORMAT"_s << QString() << 155;
        QTest::newRow("path in a variable") << u"RESTORE VERIFYONLY FROM DISK = @p"_s << QString() << 137;
    }
    void parsesVerifyStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, path);
        QFETCH(int, error);
        QVERIFY(tdstest::IsRestore(statement));
        const tdstest::VerifyParse parse = tdstest::ParseVerify(statement);
        QCOMPARE(parse.path.value_or(QString()), path);
        QCOMPARE(parse.errors.value(0).number, error);
    }

    void onlyWholeBackupsPass_data()
    {
        const QByteArray body = tdstest::BackupHeader(u"Shop"_s) + "10 percent processed.\n";
        const QByteArray whole = body + tdstest::BackupTrailer(body);
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("whole");
        QTest::newRow("as written") << whole << true;
        QTest::newRow("last byte cut") << whole.chopped(1) << false;
        QTest::newRow("cut to half") << whole.left(whole.size() / 2) << false;
        QTest::newRow("marker altered") << QByteArray(whole).replace("COMPLETE", "C0MPLETE") << false;
        QTest::newRow("body altered") << QByteArray(whole).replace("10 percent", "20 percent") << false;
    }
    void onlyWholeBackupsPass()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, whole);
        QCOMPARE(tdstest::IsWholeBackup(contents), whole);
    }

    void packetsReassemble_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QList<QByteArray>>("payloads");
        QTest::addColumn<bool>("broken");
        using tdstest::PacketType;
        const QByteArray batch = packet(PacketType::SqlBatch, 0x01, "abc");
        const QByteArray split =
            packet(PacketType::SqlBatch, 0x00, "ab") + packet(PacketType::SqlBatch, 0x01, "cd");
        const QByteArray attention = packet(PacketType::Attention, 0x01, {});
        QTest::newRow("one packet") << batch << 1000 << QList<int>{1} << QList<QByteArray>{"abc"} << false;
        QTest::newRow("byte by byte") << batch << 1 << QList<int>{1} << QList<QByteArray>{"abc"} << false;
        QTest::newRow("message over two packets")
            << split << 3 << QList<int>{1} << QList<QByteArray>{"abcd"} << false;
        QTest::newRow("attention after a batch")
            << batch + attention << 1000 << QList<int>{1, 6} << QList<QByteArray>{"abc", ""} << false;
        QTest::newRow("abandoned message dropped")
            << packet(PacketType::SqlBatch, 0x00, "ab") + packet(PacketType::SqlBatch, 0x03, {}) + batch << 5
            << QList<int>{1} << QList<QByteArray>{"abc"} << false;
        QTest::newRow("length below header")
            << QByteArray::fromHex("0101000400000000") << 1000 << QList<int>{} << QList<QByteArray>{} << true;
    }
    void packetsReassemble()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, chunk);
        QFETCH(QList<int>, types);
        QFETCH(QList<QByteArray>, payloads);
        QFETCH(bool, broken);
        tdstest::PacketReader reader;
        QList<int> actualTypes;
        QList<QByteArray> actualPayloads;
        for (qsizetype at = 0; at < stream.size(); at += chunk) {
            reader.feed(stream.mid(at, chunk));
            while (const auto message = reader.next()) {
                actualTypes.append(int(message->type));
                actualPayloads.append(message->payload);
            }
        }
        QCOMPARE(actualTypes, types);
        QCOMPARE(actualPayloads, payloads);
        QCOMPARE(reader.broken(), broken);
    }

    void packetsFitNegotiatedSize_data()
    {
        QTest::addColumn<int>("packetSize");
        QTest::addColumn<int>("payloadSize");
        QTest::addColumn<int>("packets");
        QTest::newRow("fits exactly") << 512 << 504 << 1;
        QTest::newRow("one byte over") << 512 << 505 << 2;
        QTest::newRow("several") << 4096 << 3 * 4088 + 1 << 4;
    }
    void packetsFitNegotiatedSize()
    {
        QFETCH(int, packetSize);
        QFETCH(int, payloadSize);
        QFETCH(int, packets);
        QByteArray payload(payloadSize, '\0');
        for (int i = 0; i < payloadSize; ++i)
            payload[i] = char(i % 251);
        tdstest::PacketWriter writer(51);
        writer.setPacketSize(packetSize);
        const QByteArray stream = writer.frame(tdstest::PacketType::TabularResult, payload, true);
        QCOMPARE(stream.size(), payloadSize + packets * tdstest::kPacketHeaderSize);
        for (qsizetype at = 0; at < stream.size(); at += qFromBigEndian<quint16>(stream.constData() + at + 2))
            QVERIFY(qFromBigEndian<quint16>(stream.constData() + at + 2) <= packetSize);
        tdstest::PacketReader reader;
        reader.feed(stream);
        const auto message = reader.next();
        QVERIFY(message);
        QCOMPARE(message->payload, payload);
        QVERIFY(!reader.next());
    }

    // The token's 16-bit length must count every byte of the longest message, or a client reads past it.
    void longestMessageFillsItsToken_data()
    {
        QTest::addColumn<tdstest::LongMessage>("kind");
        QTest::addColumn<quint8>("token");
        QTest::newRow("info") << tdstest::LongMessage::Info << quint8(0xAB);
        QTest::newRow("error") << tdstest::LongMessage::Error << quint8(0xAA);
    }
    void longestMessageFillsItsToken()
    {
        QFETCH(tdstest::LongMessage, kind);
        QFETCH(quint8, token);
        const tdstest::ServerMessage message = tdstest::LongestMessage(kind);
        QCOMPARE(message.text.size(), tdstest::TokenWriter::longestMessageText());
        const QByteArray bytes = tdstest::TokenWriter().message(message).bytes();
        QCOMPARE(quint8(bytes.at(0)), token);
        const int counted = qFromLittleEndian<quint16>(bytes.constData() + 1);
        QCOMPARE(counted, bytes.size() - 3);
        QVERIFY(0xFFFF - counted < 2);
    }

    void backupThroughFreeTds_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QList<int>>("natives");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("written");
        const QString good =
            u"BACKUP DATABASE [Shop] TO DISK = N'%1/shop.bak' WITH FORMAT, INIT, STATS = 50"_s;
        QTest::newRow("success") << u"Shop"_s << User << Password << good << true
                                 << QList<int>{3211, 4035, 3014} << u"file 'Shop_log' on file 1."_s << true;
        QTest::newRow("names without case")
            << u"shop"_s << User.toUpper() << Password << u"backup database SHOP to disk = '%1/shop.bak'"_s
            << true << QList<int>{4035, 3014} << u"database 'Shop'"_s << true;
        QTest::newRow("wrong password")
            << u"Shop"_s << User << u"s3cret"_s << good << false << QList<int>{18456}
            << u"Login failed for user '%1'."_s.arg(User) << false;
        QTest::newRow("unknown login") << u"Shop"_s << u"nobody"_s << Password << good << false
                                       << QList<int>{18456} << u"Login failed for user 'nobody'."_s << false;
        QTest::newRow("unknown database at login")
            << u"Nope"_s << User << Password << good << false << QList<int>{4060, 18456}
            << u"Cannot open database \"Nope\" requested by the login. The login failed."_s << false;
        QTest::newRow("unknown database in statement")
            << u"Shop"_s << User << Password << u"BACKUP DATABASE Nope TO DISK = N'%1/shop.bak'"_s << true
            << QList<int>{911, 3013} << u"Database 'Nope' does not exist."_s << false;
        QTest::newRow("missing folder")
            << u"Shop"_s << User << Password << u"BACKUP DATABASE Shop TO DISK = N'%1/missing/shop.bak'"_s
            << true << QList<int>{3201, 3013} << u"Operating system error 3(The system"_s << false;
        QTest::newRow("folder in place of the file")
            << u"Shop"_s << User << Password << u"BACKUP DATABASE Shop TO DISK = N'%1'"_s << true
            << QList<int>{3201, 3013} << u"Operating system error 5(Access is denied.)."_s << false;
        QTest::newRow("syntax error")
            << u"Shop"_s << User << Password << u"BACKUP DATABASE Shop TO DISK N'%1/shop.bak'"_s << true
            << QList<int>{102} << u"Incorrect syntax near"_s << false;
        QTest::newRow("tempdb") << u"Shop"_s << User << Password
                                << u"BACKUP DATABASE tempdb TO DISK = '%1/t.bak'"_s << true
                                << QList<int>{3147, 3013} << u"not allowed on database tempdb"_s << false;
    }
    void backupThroughFreeTds()
    {
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, statement);
        QFETCH(bool, connects);
        QFETCH(QList<int>, natives);
        QFETCH(QString, text);
        QFETCH(bool, written);
        const QString folder = freshFolder();
        const QString path = folder + u"/shop.bak"_s;
        TdsTestServer server;
        startServer(server);

        OdbcClient client;
        QCOMPARE(client.connect(connectionString(server.port(), database, user, password), 5), connects);
        if (connects) {
            QCOMPARE(client.run(statement.arg(folder)) == SQL_ERROR, !written);
        }
        for (const int native : natives)
            QVERIFY2(client.natives().contains(native), qPrintable(client.allText()));
        QVERIFY2(client.allText().contains(text), qPrintable(client.allText()));
        QCOMPARE(IsWholeBackupFile(path), written);
        QCOMPARE(server.writtenBackups(), written ? QStringList{path} : QStringList{});
        QCOMPARE(server.logins().size(), 1);
        // FreeTDS sends no set-up batches of its own on this path: the statement is all that arrives.
        QCOMPARE(server.batches(), connects ? QStringList{statement.arg(folder)} : QStringList{});
        QVERIFY(server.abortedBackups().isEmpty());
        QCOMPARE(server.attentionCount(), 0);
    }

    void loginArrivesAsSent_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("catalog");
        QTest::newRow("plain") << User << Password << u"Shop"_s << u"Shop"_s;
        QTest::newRow("punctuation in the password") << u"sa"_s << u"p;a}w=r'd\""_s << u"Shop"_s << u"Shop"_s;
        QTest::newRow("turkish letters")
            << u"kullanıcı"_s << u"Şifre-İğüöç;ı"_s << u"Müşteri"_s << u"Müşteri"_s;
        QTest::newRow("database named without case") << User << Password << u"SHOP"_s << u"Shop"_s;
        QTest::newRow("no database") << User << Password << QString() << u"master"_s;
    }
    void loginArrivesAsSent()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, database);
        QFETCH(QString, catalog);
        TdsTestServer server;
        server.addLogin(user, password);
        server.addDatabase(u"Müşteri"_s);
        startServer(server);

        OdbcClient client;
        QVERIFY2(client.connect(connectionString(server.port(), database, user, password), 5),
                 qPrintable(client.allText()));
        QCOMPARE(client.currentCatalog(), catalog);
        QCOMPARE(server.logins().size(), 1);
        const tdstest::LoginRecord login = server.logins().constFirst();
        QCOMPARE(login.userName, user);
        QCOMPARE(login.password, password);
        QCOMPARE(login.database, database);
        QCOMPARE(login.appName, u"tst_tdsserver"_s);
        QCOMPARE(login.tdsVersion, 0x74000004u);
        QVERIFY(!login.hostName.isEmpty());
    }

    // FreeTDS hands over a message only at a DONE, so an early return needs the DONE that follows each
    // "N percent processed."; without STATS the client can only cut a backup off by a timeout, which
    // FreeTDS counts from the last packet received: the messages must be further apart than the timeout.
    void clientCutsBackupOff_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("queryTimeout");
        QTest::addColumn<int>("execResult");
        QTest::addColumn<QString>("state");
        QTest::newRow("statement freed before its results")
            << u"WITH STATS = 10"_s << 0 << int(SQL_SUCCESS_WITH_INFO) << u"01000"_s;
        QTest::newRow("query timeout") << QString() << 1 << int(SQL_ERROR) << u"HYT00"_s;
    }
    void clientCutsBackupOff()
    {
        QFETCH(QString, options);
        QFETCH(int, queryTimeout);
        QFETCH(int, execResult);
        QFETCH(QString, state);
        const QString path = freshFolder() + u"/shop.bak"_s;
        TdsTestServer server;
        server.setBackupDuration(4000);
        startServer(server);
        OdbcClient client;
        QVERIFY(client.connect(connectionString(server.port(), u"Shop"_s, User, Password), 5));

        QElapsedTimer clock;
        clock.start();
        const SQLRETURN rc =
            client.execute(u"BACKUP DATABASE Shop TO DISK = N'%1' %2"_s.arg(path, options), queryTimeout);
        QCOMPARE(rc, execResult);
        QVERIFY2(client.states().contains(state), qPrintable(client.states().join(u' ')));
        client.freeStatement();
        QVERIFY(clock.elapsed() < 3000);

        QTRY_COMPARE(server.abortedBackups().size(), 1);
        QCOMPARE(server.abortedBackups().constFirst().path, path);
        QCOMPARE(server.abortedBackups().constFirst().database, u"Shop"_s);
        QCOMPARE(server.attentionCount(), 1);
        QVERIFY(!QFile::exists(path));
        QVERIFY(server.writtenBackups().isEmpty());
    }

    void misbehaviour_data()
    {
        QTest::addColumn<Misbehaviour>("misbehaviour");
        QTest::addColumn<int>("loginTimeout");
        QTest::addColumn<QString>("loginState");
        QTest::addColumn<int>("execResult");
        QTest::addColumn<QList<int>>("natives");
        QTest::addColumn<int>("moreResults");
        QTest::addColumn<bool>("written");
        const int failed = SQL_ERROR;
        const int succeeded = SQL_SUCCESS_WITH_INFO;
        QTest::newRow("none: a result for each progress message")
            << Misbehaviour::None << 5 << QString() << succeeded << QList<int>{3211, 3014} << 2 << true;
        QTest::newRow("more results: one result per message")
            << Misbehaviour::MoreResults << 5 << QString() << succeeded << QList<int>{3211, 4035, 3014} << 4
            << true;
        QTest::newRow("error after progress") << Misbehaviour::ErrorAfterProgress << 5 << QString() << failed
                                              << QList<int>{3202, 3013} << 0 << false;
        // FreeTDS reports the lost connection as its own message 20017, "Unexpected EOF from the server".
        QTest::newRow("drop during backup") << Misbehaviour::DropDuringBackup << 5 << QString() << failed
                                            << QList<int>{3211, 20017} << 1 << false;
        QTest::newRow("slow login within the timeout")
            << Misbehaviour::SlowLogin << 5 << QString() << succeeded << QList<int>{3014} << 2 << true;
        QTest::newRow("slow login past the timeout")
            << Misbehaviour::SlowerLogin << 1 << u"HYT00"_s << failed << QList<int>{} << 0 << false;
        QTest::newRow("silent") << Misbehaviour::Silent << 1 << u"HYT00"_s << failed << QList<int>{} << 0
                                << false;
    }
    void misbehaviour()
    {
        QFETCH(Misbehaviour, misbehaviour);
        QFETCH(int, loginTimeout);
        QFETCH(QString, loginState);
        QFETCH(int, execResult);
        QFETCH(QList<int>, natives);
        QFETCH(int, moreResults);
        QFETCH(bool, written);
        const QString path = freshFolder() + u"/shop.bak"_s;
        TdsTestServer server;
        server.setErrorAfterProgress(misbehaviour == Misbehaviour::ErrorAfterProgress);
        server.setDropDuringBackup(misbehaviour == Misbehaviour::DropDuringBackup);
        server.setMoreResultsOnDone(misbehaviour == Misbehaviour::MoreResults);
        server.setSilent(misbehaviour == Misbehaviour::Silent);
        const QHash<Misbehaviour, int> loginDelays = {{Misbehaviour::SlowLogin, 300},
                                                      {Misbehaviour::SlowerLogin, 1500}};
        server.setLoginDelay(loginDelays.value(misbehaviour));
        startServer(server);

        QElapsedTimer clock;
        clock.start();
        OdbcClient client;
        const bool connected =
            client.connect(connectionString(server.port(), u"Shop"_s, User, Password), loginTimeout);
        QVERIFY(clock.elapsed() < (loginTimeout + 2) * 1000);
        if (!loginState.isEmpty()) {
            QVERIFY(!connected);
            QVERIFY2(client.states().contains(loginState), qPrintable(client.states().join(u' ')));
        } else {
            QVERIFY2(connected, qPrintable(client.allText()));
            client.execute(u"BACKUP DATABASE Shop TO DISK = N'%1' WITH STATS = 50"_s.arg(path));
            QCOMPARE(client.readAllResults(), moreResults);
            QCOMPARE(client.lastResult(), execResult);
        }
        for (const int native : natives)
            QVERIFY2(client.natives().contains(native), qPrintable(client.allText()));
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(server.writtenBackups().size(), written ? 1 : 0);
        QVERIFY(server.abortedBackups().isEmpty());
    }

    // Were the messages held back to the end, the first would come late and all at the same time.
    void progressArrivesAsItComes_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("percentStep");
        QTest::newRow("format, no compression") << u"FORMAT, NO_COMPRESSION, STATS = 10"_s << 10;
        QTest::newRow("with checksum") << u"FORMAT, NO_COMPRESSION, CHECKSUM, STATS = 10"_s << 10;
        QTest::newRow("fewer messages") << u"STATS = 25"_s << 25;
    }
    void progressArrivesAsItComes()
    {
        QFETCH(QString, options);
        QFETCH(int, percentStep);
        const int durationMs = 1300;
        TdsTestServer server;
        server.setBackupDuration(durationMs);
        startServer(server);
        OdbcClient client;
        QVERIFY(client.connect(connectionString(server.port(), u"Shop"_s, User, Password), 5));
        const qint64 startMs = client.elapsedMs();
        const QString path = freshFolder() + u"/shop.bak"_s;
        QCOMPARE(client.run(u"BACKUP DATABASE [Shop] TO DISK=N'%1'  WITH %2"_s.arg(path, options)),
                 SQL_SUCCESS_WITH_INFO);

        QList<Diagnostic> progress;
        for (const Diagnostic &d : client.diagnostics()) {
            if (d.native == 3211)
                progress.append(d);
        }
        QCOMPARE(progress.size(), 100 / percentStep);
        for (qsizetype i = 0; i < progress.size(); ++i) {
            QVERIFY(progress.at(i).text.endsWith(u"%1 percent processed."_s.arg((i + 1) * percentStep)));
            if (i > 0)
                QVERIFY2(progress.at(i).atMs > progress.at(i - 1).atMs,
                         "two progress messages came together");
        }
        QVERIFY2(progress.constFirst().atMs - startMs < durationMs / 3,
                 "the first progress message came late");
        QVERIFY(progress.constLast().atMs - progress.constFirst().atMs > durationMs / 3);
        QCOMPARE(client.natives().constLast(), 3014);
    }

    // A client that waits for bytes that never come would wait for good: those rows end by the test
    // dropping the held connection.
    void faults_data()
    {
        using namespace tdstest;
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<int>("execResult");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QList<int>>("natives");
        QTest::addColumn<bool>("waitsForDrop");
        QTest::addColumn<bool>("written");
        const int failed = SQL_ERROR;
        const int succeeded = SQL_SUCCESS_WITH_INFO;
        const QString unableToConnect = u"08001"_s;
        // 20002 "Adaptive Server connection failed", 20017 "Unexpected EOF from the server".
        QTest::newRow("drop after prelogin")
            << Fault{.loginDrop = LoginDrop::AfterPrelogin} << false << failed << QStringList{unableToConnect}
            << QList<int>{20002} << false << false;
        QTest::newRow("drop on login7")
            << Fault{.loginDrop = LoginDrop::OnLogin7} << false << failed << QStringList{unableToConnect}
            << QList<int>{20017, 20002} << false << false;
        // 20020 "Bad token from the server: Datastream processing out of sync".
        QTest::newRow("garbage for the login")
            << Fault{.garbage = Answer::Login} << false << failed << QStringList{u"08S01"_s, unableToConnect}
            << QList<int>{20020} << false << false;
        QTest::newRow("garbage for the backup")
            << Fault{.garbage = Answer::Backup} << true << failed << QStringList{u"08S01"_s}
            << QList<int>{20020} << false << false;
        QTest::newRow("login answer longer than sent")
            << Fault{.lie = LengthLie::Longer, .lieIn = Answer::Login} << false << failed
            << QStringList{u"HYT00"_s, unableToConnect} << QList<int>{} << false << false;
        QTest::newRow("login answer shorter than sent")
            << Fault{.lie = LengthLie::Shorter, .lieIn = Answer::Login} << false << failed
            << QStringList{u"HYT00"_s, unableToConnect} << QList<int>{} << false << false;
        // The server wrote the whole file before its lying last packet; the client cannot know.
        QTest::newRow("backup answer longer than sent")
            << Fault{.lie = LengthLie::Longer, .lieIn = Answer::Backup} << true << failed
            << QStringList{u"01000"_s} << QList<int>{20017, 4035} << true << true;
        QTest::newRow("backup answer shorter than sent")
            << Fault{.lie = LengthLie::Shorter, .lieIn = Answer::Backup} << true << failed
            << QStringList{u"01000"_s} << QList<int>{20017, 4035} << true << true;
        QTest::newRow("longest info") << Fault{.longMessage = LongMessage::Info} << true << succeeded
                                      << QStringList{u"01000"_s} << QList<int>{50000, 3014} << false << true;
        QTest::newRow("longest error")
            << Fault{.longMessage = LongMessage::Error} << true << failed << QStringList{u"42000"_s}
            << QList<int>{50000, 3013} << false << false;
    }
    void faults()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, connects);
        QFETCH(int, execResult);
        QFETCH(QStringList, states);
        QFETCH(QList<int>, natives);
        QFETCH(bool, waitsForDrop);
        QFETCH(bool, written);
        const QString path = freshFolder() + u"/shop.bak"_s;
        TdsTestServer server;
        fault.applyTo(server);
        startServer(server);
        OdbcClient client;
        std::atomic<bool> returned = false;
        bool connected = false;
        SQLRETURN rc = SQL_SUCCESS;
        std::jthread run([&] {
            connected = client.connect(connectionString(server.port(), u"Shop"_s, User, Password), 2);
            if (connected)
                rc = client.run(u"BACKUP DATABASE Shop TO DISK = N'%1' WITH STATS = 50"_s.arg(path));
            returned = true;
        });
        const DropOnExit drop{server};
        if (waitsForDrop) {
            QTRY_COMPARE(server.heldConnections(), 1);
            QTest::qWait(300);
            QVERIFY(!returned);
            server.release(tdstest::Release::Drop);
        }
        QTRY_VERIFY_WITH_TIMEOUT(returned, 10000);
        QCOMPARE(connected, connects);
        if (connects)
            QCOMPARE(rc, execResult);
        for (const QString &state : states)
            QVERIFY2(client.states().contains(state), qPrintable(client.states().join(u' ')));
        for (const int native : natives)
            QVERIFY2(client.natives().contains(native), qPrintable(client.allText()));
        if (fault.longMessage != tdstest::LongMessage::None)
            QVERIFY2(client.allText().contains(tdstest::LongestMessage(fault.longMessage).text.left(500)),
                     qPrintable(client.allText()));
        QCOMPARE(IsWholeBackupFile(path), written);
        QCOMPARE(server.writtenBackups().size(), written ? 1 : 0);
        QTRY_COMPARE(server.heldConnections(), 0);
    }

    void stalledBackupWaitsForRelease_data()
    {
        QTest::addColumn<tdstest::Release>("release");
        QTest::addColumn<int>("execResult");
        QTest::addColumn<int>("native");
        QTest::addColumn<bool>("written");
        QTest::newRow("resumed: the backup ends as usual")
            << tdstest::Release::Resume << int(SQL_SUCCESS_WITH_INFO) << 3014 << true;
        QTest::newRow("dropped: the partial file goes")
            << tdstest::Release::Drop << int(SQL_ERROR) << 20017 << false;
    }
    void stalledBackupWaitsForRelease()
    {
        QFETCH(tdstest::Release, release);
        QFETCH(int, execResult);
        QFETCH(int, native);
        QFETCH(bool, written);
        const QString path = freshFolder() + u"/shop.bak"_s;
        TdsTestServer server;
        server.setStallDuringBackup(true);
        server.setBackupDuration(100);
        startServer(server);
        OdbcClient client;
        QVERIFY(client.connect(connectionString(server.port(), u"Shop"_s, User, Password), 5));
        std::atomic<bool> returned = false;
        SQLRETURN rc = SQL_SUCCESS;
        std::jthread run([&] {
            rc = client.run(u"BACKUP DATABASE Shop TO DISK = N'%1' WITH STATS = 50"_s.arg(path));
            returned = true;
        });
        const DropOnExit drop{server};

        QTRY_COMPARE(server.heldConnections(), 1);
        QTest::qWait(1000);
        QVERIFY2(!returned, "the client did not wait for the stalled backup");
        QVERIFY(QFile::exists(path));
        QVERIFY(!IsWholeBackupFile(path));
        server.release(release);
        QTRY_VERIFY(returned);
        QCOMPARE(rc, execResult);
        QVERIFY2(client.natives().contains(native), qPrintable(client.allText()));
        QCOMPARE(IsWholeBackupFile(path), written);
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(server.heldConnections(), 0);
        QVERIFY(server.abortedBackups().isEmpty());
    }

    void connectionsRunSideBySide()
    {
        const QString folder = freshFolder();
        TdsTestServer server;
        server.setBackupDuration(800);
        startServer(server);
        QElapsedTimer clock;
        clock.start();
        QList<SQLRETURN> results(2, SQL_ERROR);
        std::vector<std::thread> clients;
        for (int i = 0; i < 2; ++i) {
            clients.emplace_back([&, i] {
                OdbcClient client;
                if (client.connect(connectionString(server.port(), u"Shop"_s, User, Password), 5))
                    results[i] =
                        client.execute(u"BACKUP DATABASE Shop TO DISK = N'%1/%2.bak'"_s.arg(folder).arg(i));
            });
        }
        for (std::thread &client : clients)
            client.join();
        QCOMPARE(results, QList<SQLRETURN>(2, SQL_SUCCESS_WITH_INFO));
        QVERIFY2(clock.elapsed() < 1500, "the two backups ran one after the other");
        QVERIFY(IsWholeBackupFile(folder + u"/0.bak"_s));
        QVERIFY(IsWholeBackupFile(folder + u"/1.bak"_s));
        QCOMPARE(server.writtenBackups().size(), 2);
    }

    void commandLineServesUntilTerminated()
    {
        const QString path = freshFolder() + u"/cli.bak"_s;
        QProcess cli;
        const quint16 port =
            startCli(cli, {u"--login"_s, u"sa:pass:word"_s, u"--backup-seconds"_s, u"0.1"_s});
        QVERIFY(port != 0);

        OdbcClient client;
        QVERIFY2(client.connect(connectionString(port, u"shop"_s, u"sa"_s, u"pass:word"_s), 5),
                 qPrintable(client.allText()));
        QCOMPARE(client.execute(u"BACKUP DATABASE Shop TO DISK = N'%1'"_s.arg(path)), SQL_SUCCESS_WITH_INFO);
        QVERIFY(IsWholeBackupFile(path));

        cli.terminate();
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 0);
        const QString log = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(log.contains(u"login user='sa' database='shop'"), qPrintable(log));
        QVERIFY2(log.contains(u"backup written: "_s + path), qPrintable(log));
    }

    // Rows that hold the connection end by terminating the server, which closes it.
    void commandLineFaults_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<int>("native");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("terminateWhenHeld");
        QTest::newRow("drop after prelogin")
            << QStringList{u"--drop-during-login"_s, u"prelogin"_s} << false << 20002 << u"08001"_s << false;
        QTest::newRow("drop on login7")
            << QStringList{u"--drop-during-login"_s, u"login7"_s} << false << 20017 << u"08001"_s << false;
        QTest::newRow("garbage for the login")
            << QStringList{u"--garbage-instead"_s, u"login"_s} << false << 20020 << u"08S01"_s << false;
        QTest::newRow("garbage for the backup")
            << QStringList{u"--garbage-instead"_s, u"backup"_s} << true << 20020 << u"08S01"_s << false;
        QTest::newRow("lying login answer")
            << QStringList{u"--length-lie"_s, u"longer"_s, u"--length-lie-in"_s, u"login"_s} << false << 0
            << u"HYT00"_s << false;
        QTest::newRow("lying backup answer, the default")
            << QStringList{u"--length-lie"_s, u"shorter"_s} << true << 20017 << u"01000"_s << true;
        QTest::newRow("longest error")
            << QStringList{u"--long-message"_s, u"error"_s} << true << 50000 << u"42000"_s << false;
        QTest::newRow("stall") << QStringList{u"--stall-during-backup"_s} << true << 20017 << u"01000"_s
                               << true;
    }
    void commandLineFaults()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, connects);
        QFETCH(int, native);
        QFETCH(QString, state);
        QFETCH(bool, terminateWhenHeld);
        const QString path = freshFolder() + u"/cli.bak"_s;
        QProcess cli;
        const quint16 port = startCli(cli, options);
        QVERIFY(port != 0);
        OdbcClient client;
        std::atomic<bool> returned = false;
        bool connected = false;
        std::jthread run([&] {
            connected = client.connect(connectionString(port, u"Shop"_s, User, Password), 1);
            if (connected)
                client.execute(u"BACKUP DATABASE Shop TO DISK = N'%1'"_s.arg(path));
            returned = true;
        });
        QString log;
        if (terminateWhenHeld) {
            QTRY_VERIFY2((log += QString::fromUtf8(cli.readAllStandardError())).contains(u"connection held"),
                         qPrintable(log));
            QVERIFY(!returned);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(returned, 10000);
        }
        cli.terminate();
        QVERIFY(cli.waitForFinished(5000));
        QTRY_VERIFY(returned);
        QCOMPARE(connected, connects);
        QVERIFY2(client.natives().contains(native), qPrintable(client.allText()));
        QVERIFY2(client.states().contains(state), qPrintable(client.states().join(u' ')));
    }

    void commandLineErrors_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QList<int>>("natives");
        QTest::addColumn<QString>("text");
        QTest::newRow("access denied")
            << QStringList{u"--backup-access-denied"_s} << u"Shop"_s << QList<int>{3201, 3013}
            << u"Cannot open backup device '%1'. Operating system error 5(Access is denied.)."_s;
        QTest::newRow("disk full")
            << QStringList{u"--disk-full"_s} << u"Shop"_s << QList<int>{3211, 3202, 3013}
            << u"Write on \"%1\" failed: 112(There is not enough space on the disk.)\n"_s;
        QTest::newRow("unknown database, logged into master")
            << QStringList{} << QString() << QList<int>{911, 3013}
            << u"Database 'Nope' does not exist. Make sure that the name is entered correctly."_s;
    }
    void commandLineErrors()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, database);
        QFETCH(QList<int>, natives);
        QFETCH(QString, text);
        const QString path = freshFolder() + u"/cli.bak"_s;
        QProcess cli;
        const TerminateOnExit terminate{cli};
        const quint16 port = startCli(cli, options);
        QVERIFY(port != 0);
        OdbcClient client;
        QVERIFY(client.connect(connectionString(port, database, User, Password), 5));
        const QString name = database.isEmpty() ? u"Nope"_s : database;
        QCOMPARE(client.run(u"BACKUP DATABASE %1 TO DISK = N'%2' WITH STATS = 10"_s.arg(name, path)),
                 SQL_ERROR);
        QCOMPARE(client.natives(), natives);
        QVERIFY2(client.allText().contains(QString(text).replace(u"%1"_s, path)),
                 qPrintable(client.allText()));
        QVERIFY(client.allText().endsWith(u"BACKUP DATABASE is terminating abnormally.\n"));
        QVERIFY(!QFile::exists(path));
    }

    void commandLineVerifies_data()
    {
        QTest::addColumn<Earlier>("earlier");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<int>>("natives");
        QTest::addColumn<QString>("text");
        const QString valid = u"The backup set on file 1 is valid."_s;
        QTest::newRow("whole") << Earlier::Backup << u" WITH CHECKSUM"_s << QList<int>{3262} << valid;
        QTest::newRow("whole, no options") << Earlier::Backup << QString() << QList<int>{3262} << valid;
        QTest::newRow("missing") << Earlier::Nothing << u" WITH CHECKSUM"_s << QList<int>{3201, 3013}
                                 << u"Cannot open backup device '%1'. Operating system error 2(The system "
                                    u"cannot find the file specified.)."_s;
        QTest::newRow("damaged")
            << Earlier::DamagedBackup << u" WITH CHECKSUM"_s << QList<int>{3241, 3013}
            << u"The media family on device '%1' is incorrectly formed. SQL Server cannot "
               u"process this media family."_s;
    }
    void commandLineVerifies()
    {
        QFETCH(Earlier, earlier);
        QFETCH(QString, options);
        QFETCH(QList<int>, natives);
        QFETCH(QString, text);
        const QString path = freshFolder() + u"/o'brien.bak"_s;
        const QString quoted = QString(path).replace(u'\'', u"''"_s);
        QProcess cli;
        const TerminateOnExit terminate{cli};
        const quint16 port = startCli(
            cli, earlier == Earlier::DamagedBackup ? QStringList{u"--damaged-backups"_s} : QStringList{});
        QVERIFY(port != 0);
        if (earlier != Earlier::Nothing) {
            OdbcClient backup;
            QVERIFY(backup.connect(connectionString(port, u"Shop"_s, User, Password), 5));
            QCOMPARE(backup.run(u"BACKUP DATABASE Shop TO DISK = N'%1'"_s.arg(quoted)),
                     SQL_SUCCESS_WITH_INFO);
            QCOMPARE(backup.natives().constLast(), 3014);
        }
        OdbcClient client;
        QVERIFY(client.connect(connectionString(port, u"Shop"_s, User, Password), 5));
        const SQLRETURN rc = client.run(u"RESTORE VERIFYONLY FROM DISK = N'%1'%2"_s.arg(quoted, options));
        QCOMPARE(rc, natives.size() == 1 ? SQL_SUCCESS_WITH_INFO : SQL_ERROR);
        QCOMPARE(client.natives(), natives);
        QVERIFY2(client.allText().contains(QString(text).replace(u"%1"_s, path)),
                 qPrintable(client.allText()));
        if (natives.contains(3013))
            QVERIFY(client.allText().endsWith(u"VERIFY DATABASE is terminating abnormally.\n"));
    }

    void commandLineRefusesUnknownChoices_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("login drop") << QStringList{u"--drop-during-login"_s, u"later"_s}
                                    << u"--drop-during-login wants one of login7, prelogin, got 'later'"_s;
        QTest::newRow("garbage") << QStringList{u"--garbage-instead"_s, u"Login"_s}
                                 << u"--garbage-instead wants one of backup, login, got 'Login'"_s;
        QTest::newRow("lie") << QStringList{u"--length-lie"_s, u""_s}
                             << u"--length-lie wants one of longer, shorter, got ''"_s;
        QTest::newRow("lie place") << QStringList{u"--length-lie"_s, u"longer"_s, u"--length-lie-in"_s,
                                                  u"prelogin"_s}
                                   << u"--length-lie-in wants one of backup, login, got 'prelogin'"_s;
        QTest::newRow("long message") << QStringList{u"--long-message"_s, u"warning"_s}
                                      << u"--long-message wants one of error, info, got 'warning'"_s;
        QTest::newRow("damage") << QStringList{u"--checkdb-damage"_s, u"torn"_s}
                                << u"--checkdb-damage wants one of allocation, consistency, got 'torn'"_s;
    }
    void commandLineRefusesUnknownChoices()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, complaint);
        QProcess cli;
        cli.start(QStringLiteral(TDSTESTSERVER_CLI), options);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()).trimmed(), complaint);
        QVERIFY(cli.readAllStandardOutput().isEmpty());
    }

private:
    // The command-line server with the test's login and database; its port, or 0 when it did not start.
    quint16 startCli(QProcess &cli, const QStringList &options)
    {
        cli.start(QStringLiteral(TDSTESTSERVER_CLI),
                  QStringList{u"--port"_s, u"0"_s, u"--login"_s, User + u':' + Password, u"--database"_s,
                              u"Shop"_s} +
                      options);
        if (!cli.waitForReadyRead(5000))
            return 0;
        const QString line = QString::fromUtf8(cli.readLine()).trimmed();
        if (!line.startsWith(u"listening on 127.0.0.1:"))
            return 0;
        return line.section(u':', -1).toUShort();
    }

    void startServer(TdsTestServer &server)
    {
        server.addLogin(User, Password);
        server.addDatabase(u"Shop"_s);
        QVERIFY(server.listen());
        QVERIFY(server.port() != 0);
    }

    QString freshFolder()
    {
        const QString folder = dir_.filePath(QString::number(++folders_));
        QDir().mkpath(folder);
        return folder;
    }

    QTemporaryDir dir_;
    int folders_ = 0;
};

QTEST_GUILESS_MAIN(TstTdsServer)
#include "tst_tdsserver.moc"
