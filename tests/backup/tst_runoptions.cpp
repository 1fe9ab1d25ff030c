#include "backup/RunBackup.h"
#include "backup/RunCancel.h"
#include "support/TestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace Qt::StringLiterals;

// What a run reports beyond the file: the server's progress as it goes, and the read-back of the file.
class tst_runoptions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void progressArrivesDuringTheRun();
    void verification_data();
    void verification();
    void cancelStopsTheRun_data();
    void cancelStopsTheRun();

private:
    BackupResult run(const RunOptions &options);

    std::unique_ptr<tdstest::TdsTestServer> server_;
    std::unique_ptr<QTemporaryDir> backups_;
};

void tst_runoptions::init()
{
    backups_ = std::make_unique<QTemporaryDir>();
    server_ = StartTestServer(u"pw"_s);
    QVERIFY(server_);
    server_->setBackupDuration(50);
}

BackupResult tst_runoptions::run(const RunOptions &options)
{
    const ConnectionValues values{u"127.0.0.1"_s, QString::number(server_->port()), u"STOK"_s, u"sa"_s,
                                  u"pw"_s};
    return RunBackup(values, backups_->path(), QDateTime(QDate(2026, 12, 7), QTime(10, 0)), {}, options);
}

void tst_runoptions::progressArrivesDuringTheRun()
{
    server_->setBackupDuration(1500);
    QElapsedTimer clock;
    QList<std::pair<int, qint64>> seen;
    clock.start();
    const BackupResult result = run({false, [&](int percent) { seen.append({percent, clock.elapsed()}); }});
    const qint64 end = clock.elapsed();
    QVERIFY2(result.ok, qPrintable(result.reason));
    QCOMPARE(seen.size(), 10);
    for (qsizetype i = 0; i < seen.size(); ++i)
        QCOMPARE(seen[i].first, int(i + 1) * 10);
    // Reported as the server sends it, not gathered up at the end.
    QVERIFY2(seen.front().second < end - 1000,
             qPrintable(u"%1 of %2 ms"_s.arg(seen.front().second).arg(end)));
    QVERIFY(result.sizeBytes > 0);
}

void tst_runoptions::verification_data()
{
    QTest::addColumn<bool>("verify");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Verification>("verification");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("kept"); // the name the file keeps; "-2" when its first new name was taken

    const QString file = u"20261207100000-STOK.bak"_s;
    const QString aside = file + u".DOGRULANAMADI"_s;
    QTest::newRow("not asked") << false << false << true << Verification::NotAsked << QString() << file;
    QTest::newRow("not asked, damage unseen")
        << false << true << true << Verification::NotAsked << QString() << file;
    QTest::newRow("whole file") << true << false << true << Verification::Verified << QString() << file;
    QTest::newRow("damaged file") << true << true << false << Verification::Failed
                                  << u"Yedek dosyası doğrulanamadı"_s << aside;
    QTest::newRow("damaged, its new name taken")
        << true << true << false << Verification::Failed << u"Yedek dosyası doğrulanamadı"_s
        << file + u"-2.DOGRULANAMADI"_s;
    QTest::newRow("read back denied")
        << true << false << false << Verification::Failed
        << u"SQL Server yedek dosyasını yazdı ama doğrulamak için geri okuyamadı"_s << aside;
}

void tst_runoptions::verification()
{
    QFETCH(bool, verify);
    QFETCH(bool, damaged);
    QFETCH(bool, ok);
    QFETCH(Verification, verification);
    QFETCH(QString, reason);
    QFETCH(QString, kept);
    QFile taken(QDir(backups_->path()).filePath(u"20261207100000-STOK.bak.DOGRULANAMADI"_s));
    const bool takenBefore = kept.contains(u"-2."_s);
    QVERIFY(!takenBefore || (taken.open(QIODevice::WriteOnly) && taken.write("earlier") == 7));
    taken.close();
    server_->setDamagedBackups(damaged);
    server_->setVerifyAccessDenied(reason.contains(u"geri okuyamadı"_s));
    const BackupResult result = run({verify, {}});
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.verification, verification);
    QVERIFY2(result.reason.startsWith(reason), qPrintable(result.reason));
    // An unverified file is no backup to count on: no file is reported, though the server left one.
    QCOMPARE(result.filePath.isEmpty(), !ok);
    QVERIFY(QFile::exists(result.plannedPath));
    QCOMPARE(QFileInfo(result.plannedPath).fileName(), kept);
    QCOMPARE(QDir(backups_->path()).entryList(QDir::Files).size(), takenBefore ? 2 : 1);
    QVERIFY(ok || result.reason.contains(u"Dosyanın adı %1 olarak değiştirildi"_s.arg(kept)));
    QVERIFY(!takenBefore || taken.size() == 7);
}

void tst_runoptions::cancelStopsTheRun_data()
{
    QTest::addColumn<bool>("beforeTheBatch");
    QTest::newRow("the server silent mid-backup") << false;
    QTest::newRow("before the statement is sent") << true;
}

void tst_runoptions::cancelStopsTheRun()
{
    QFETCH(bool, beforeTheBatch);
    server_->setStallDuringBackup(true);
    RunCancel cancel;
    if (beforeTheBatch)
        QVERIFY(cancel.cancel());
    QFuture<BackupResult> running = QtConcurrent::run([&] {
        return run({false, {}, kLoginTimeoutSeconds, &cancel});
    });
    if (!beforeTheBatch) {
        QTRY_COMPARE(server_->heldConnections(), 1);
        QVERIFY(cancel.cancel());
    }
    QTRY_VERIFY_WITH_TIMEOUT(running.isFinished(), 10'000);
    const BackupResult result = running.result();
    QVERIFY(!result.ok);
    QCOMPARE(server_->batches().filter(u"BACKUP DATABASE"_s).isEmpty(), beforeTheBatch);
    QCOMPARE(server_->attentionCount(), beforeTheBatch ? 0 : 1);
    QCOMPARE(server_->abortedBackups().size(), beforeTheBatch ? 0 : 1);
    QCOMPARE(server_->heldConnections(), 0);
    QVERIFY(!QFile::exists(result.plannedPath));
}

QTEST_GUILESS_MAIN(tst_runoptions)
#include "tst_runoptions.moc"
