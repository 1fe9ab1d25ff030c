#include "backup/RestoreSql.h"
#include "backup/RestoreTest.h"
#include "backup/RunBackup.h"
#include "support/TestServer.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using tdstest::Damage;

namespace {

// How the server is set up to fail before a test starts.
enum class Fault {
    None,
    NoRoom,
    NoVolumeRight,
    NoDataFolder,
    MissingFolder,
    NoCreateRight,
    ReadFails,
    Consistency,
    Allocation,
    DropFails
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(RestoreVerdict)

// A restore test through the real driver against the loopback server: every way it ends, and the scratch
// database gone wherever it was the program's own.
class tst_restoretest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void verdicts_data();
    void verdicts();
    void leftoverIsDropped_data();
    void leftoverIsDropped();
    void statementsQuoteEveryName_data();
    void statementsQuoteEveryName();

private:
    ConnectionValues values(const QString &database) const;
    QString backUp(const QString &database);
    QStringList dataFiles() const { return QDir(data_->path()).entryList(QDir::Files); }

    std::unique_ptr<tdstest::TdsTestServer> server_;
    std::unique_ptr<QTemporaryDir> backups_;
    std::unique_ptr<QTemporaryDir> data_;
};

void tst_restoretest::init()
{
    backups_ = std::make_unique<QTemporaryDir>();
    data_ = std::make_unique<QTemporaryDir>();
    server_ = StartTestServer(u"pw"_s);
    QVERIFY(server_);
    server_->setBackupDuration(10);
    server_->setMoreResultsOnDone(true);
    server_->setDataFolder(data_->path());
}

ConnectionValues tst_restoretest::values(const QString &database) const
{
    return {u"127.0.0.1"_s, QString::number(server_->port()), database, u"sa"_s, u"pw"_s};
}

QString tst_restoretest::backUp(const QString &database)
{
    server_->addDatabase(database);
    const BackupResult backup =
        RunBackup(values(database), backups_->path(), QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    return backup.ok ? backup.filePath : QString();
}

void tst_restoretest::verdicts_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("scratchBefore"); // a database of the scratch name exists already
    QTest::addColumn<bool>("ours");          // and the history records it as the program's
    QTest::addColumn<RestoreVerdict>("verdict");
    QTest::addColumn<bool>("left");
    QTest::addColumn<QString>("reason"); // a piece of it; empty: no reason at all
    QTest::addColumn<int>("lastPercent");
    QTest::addColumn<QList<int>>("counts"); // allocation, consistency
    QTest::addColumn<QString>("firstError");

    const QList<int> none{0, 0};
    using V = RestoreVerdict;
    QTest::newRow("clean") << Fault::None << false << false << V::Clean << false << QString() << 100 << none
                           << QString();
    QTest::newRow("our leftover dropped first")
        << Fault::None << true << true << V::Clean << false << QString() << 100 << none << QString();
    QTest::newRow("not ours: left alone") << Fault::None << true << false << V::Refused << false
                                          << u"bu program oluşturmadı"_s << 0 << none << QString();
    QTest::newRow("no room") << Fault::NoRoom << false << false << V::Skipped << false
                             << u"yeterli boş yer yok"_s << 0 << none << QString();
    QTest::newRow("no right to the volume") << Fault::NoVolumeRight << false << false << V::Skipped << false
                                            << u"VIEW SERVER STATE"_s << 0 << none << QString();
    QTest::newRow("no default folder") << Fault::NoDataFolder << false << false << V::Skipped << false
                                       << u"varsayılan veri klasörü öğrenilemedi"_s << 0 << none << QString();
    QTest::newRow("folder gone (5133)") << Fault::MissingFolder << false << false << V::NotRestored << false
                                        << u"veri klasörünü bulamadı"_s << 0 << none << QString();
    QTest::newRow("no right to create (262)") << Fault::NoCreateRight << false << false << V::NotRestored
                                              << false << u"dbcreator"_s << 0 << none << QString();
    QTest::newRow("restore breaks off (3203)") << Fault::ReadFails << false << false << V::NotRestored
                                               << false << u"okunurken hata"_s << 50 << none << QString();
    QTest::newRow("consistency errors")
        << Fault::Consistency << false << false << V::Damaged << false << u"teknik desteğinizi arayın"_s
        << 100 << QList<int>{0, 3} << u"8928: Object ID 901578250"_s;
    QTest::newRow("allocation errors") << Fault::Allocation << false << false << V::Damaged << false
                                       << u"veri girmeyin"_s << 100 << QList<int>{1, 0} << u"8905: Extent"_s;
    QTest::newRow("drop fails") << Fault::DropFails << false << false << V::Clean << true
                                << u"STOK_YEDEK_DENEMESI silinemedi"_s << 100 << none << QString();
}

void tst_restoretest::verdicts()
{
    QFETCH(Fault, fault);
    QFETCH(bool, scratchBefore);
    QFETCH(bool, ours);
    QFETCH(RestoreVerdict, verdict);
    QFETCH(bool, left);
    QFETCH(QString, reason);
    QFETCH(int, lastPercent);
    QFETCH(QList<int>, counts);
    QFETCH(QString, firstError);

    const QString backup = backUp(u"STOK"_s);
    QVERIFY(!backup.isEmpty());
    const QString scratch = u"STOK_YEDEK_DENEMESI"_s;
    if (scratchBefore)
        server_->addDatabase(scratch);
    server_->setVolumeFreeBytes(fault == Fault::NoRoom ? 11 * 1024 * 1024 : qint64(1) << 40);
    server_->setVolumeStatsDenied(fault == Fault::NoVolumeRight);
    if (fault == Fault::NoDataFolder || fault == Fault::MissingFolder)
        server_->setDataFolder(fault == Fault::NoDataFolder ? QString() : data_->filePath(u"gone"_s));
    server_->setCreateDatabaseDenied(fault == Fault::NoCreateRight);
    server_->setRestoreReadFails(fault == Fault::ReadFails);
    server_->setDamage(fault == Fault::Consistency  ? Damage::Consistency
                       : fault == Fault::Allocation ? Damage::Allocation
                                                    : Damage::None);
    server_->setDropFails(fault == Fault::DropFails);

    QList<int> percents;
    const RestoreTestResult result =
        RunRestoreTest(values(u"STOK"_s), backup, {ours, [&](int percent) { percents << percent; }});

    QVERIFY2(result.verdict == verdict,
             qPrintable(result.reason + u"\n"_s + result.firstErrors.join(u"\n"_s)));
    QCOMPARE(result.left, left);
    QVERIFY2(reason.isEmpty() ? result.reason.isEmpty() : result.reason.contains(reason),
             qPrintable(result.reason));
    QCOMPARE(percents.isEmpty() ? 0 : percents.constLast(), lastPercent);
    QCOMPARE((QList<int>{result.allocationErrors, result.consistencyErrors}), counts);
    QCOMPARE(result.firstErrors.value(0).left(firstError.size()), firstError);
    // Ours goes, whatever happened; another's stays; a failed drop is the only way ours stays.
    const bool stays = left || (scratchBefore && !ours);
    QCOMPARE(server_->databases().contains(scratch), stays);
    QCOMPARE(dataFiles().isEmpty(), !left);
    if (scratchBefore && !ours) {
        const QStringList touching = server_->batches().filter(u"_YEDEK_DENEMESI]"_s);
        QVERIFY2(touching.isEmpty(), qPrintable(touching.join(u'\n')));
    }
}

void tst_restoretest::leftoverIsDropped_data()
{
    QTest::addColumn<bool>("there");
    QTest::addColumn<bool>("dropFails");
    QTest::addColumn<bool>("left");

    QTest::newRow("there, dropped") << true << false << false;
    QTest::newRow("gone already") << false << false << false;
    QTest::newRow("drop fails again") << true << true << true;
}

void tst_restoretest::leftoverIsDropped()
{
    QFETCH(bool, there);
    QFETCH(bool, dropFails);
    QFETCH(bool, left);

    if (there)
        server_->addDatabase(u"STOK_YEDEK_DENEMESI"_s);
    server_->setDropFails(dropFails);
    const RestoreTestResult result = DropLeftoverScratch(values(u"STOK"_s));
    QCOMPARE(result.left, left);
    QCOMPARE(result.reason.contains(u"silinemedi"_s), left);
    QCOMPARE(server_->databases().contains(u"STOK_YEDEK_DENEMESI"_s), left);
}

void tst_restoretest::statementsQuoteEveryName_data()
{
    QTest::addColumn<QString>("database");

    QTest::newRow("quote") << u"O'Hara"_s;
    QTest::newRow("closing bracket") << u"Stok]2024"_s;
    QTest::newRow("both, and blanks") << u"a ]' ; DROP DATABASE x --"_s;
}

// Through the server's own parser: a name that broke out of its quotes would fail to parse or name
// another database.
void tst_restoretest::statementsQuoteEveryName()
{
    QFETCH(QString, database);

    const QString backup = backUp(database);
    QVERIFY(!backup.isEmpty());
    const RestoreTestResult result = RunRestoreTest(values(database), backup);
    QVERIFY2(result.verdict == RestoreVerdict::Clean, qPrintable(result.reason));
    QCOMPARE(result.scratchName, ScratchDatabaseName(database));
    QCOMPARE(server_->databases().constLast(), database);
    QVERIFY(dataFiles().isEmpty());
    const QStringList batches = server_->batches();
    QCOMPARE(std::count_if(batches.cbegin(), batches.cend(),
                           [](const QString &batch) { return batch.startsWith(u"DROP DATABASE"_s); }),
             1);
}

QTEST_GUILESS_MAIN(tst_restoretest)
#include "tst_restoretest.moc"
