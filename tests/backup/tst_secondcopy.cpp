#include "backup/BackupPlan.h"
#include "backup/SecondCopies.h"
#include "support/SystemQuestions.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_secondcopy : public QObject {
    Q_OBJECT

private slots:
    void copy_data();
    void copy();
    void catchesUpNewestFirst();
    void retentionThere_data();
    void retentionThere();
};

// Several blocks, so that the progress and cancel hooks are met mid-copy.
constexpr qint64 kSourceBytes = 9LL * 1024 * 1024 + 123;
static const QDateTime kNow(QDate(2026, 3, 7), QTime(12, 0, 0));

static QByteArray Content(qint64 bytes, char seed)
{
    QByteArray data(bytes, Qt::Uninitialized);
    for (qint64 i = 0; i < bytes; ++i)
        data[i] = char(seed + i * 7 % 251);
    return data;
}

static void Write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

static QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_secondcopy::copy_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("nameTaken");
    QTest::addColumn<QString>("expectedName"); // empty: the copy fails
    QTest::newRow("good copy") << QString() << false << u"y.bak"_s;
    QTest::newRow("name taken by another file") << QString() << true << u"y-2.bak"_s;
    QTest::newRow("a byte changed before the check") << u"flip"_s << false << QString();
    QTest::newRow("cut short before the check") << u"truncate"_s << true << QString();
    QTest::newRow("folder removed mid-copy") << u"remove folder"_s << false << QString();
    QTest::newRow("cancelled mid-copy") << u"cancel"_s << false << QString();
}

void tst_secondcopy::copy()
{
    QFETCH(QString, fault);
    QFETCH(bool, nameTaken);
    QFETCH(QString, expectedName);
    if (fault == u"remove folder"_s && !WithoutRemovingBusyFolders().isEmpty())
        QSKIP(qPrintable(WithoutRemovingBusyFolders()));
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QByteArray data = Content(kSourceBytes, 'a');
    Write(root.filePath(u"y.bak"_s), data);
    const QString folder = root.filePath(u"ikinci"_s);
    QVERIFY(QDir().mkpath(folder));
    const QByteArray other = "someone else's file";
    if (nameTaken)
        Write(folder + u"/y.bak"_s, other);

    bool cancel = false;
    QList<int> percents;
    CopyHooks hooks;
    hooks.cancelled = [&] { return cancel; };
    hooks.progress = [&](int percent) {
        percents << percent;
        if (percent >= 40 && fault == u"remove folder"_s)
            QDir(folder).removeRecursively();
        cancel = percent >= 40 && fault == u"cancel"_s;
    };
    hooks.beforeCheck = [&](const QString &written) {
        QFile file(written);
        if (fault == u"flip"_s) {
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(kSourceBytes / 2));
            QCOMPARE(file.write("\xff\xfe"), 2);
        } else if (fault == u"truncate"_s) {
            QVERIFY(file.resize(kSourceBytes - 1));
        }
    };
    const Result<CheckedCopy> copy = CopyAndCheck(root.filePath(u"y.bak"_s), folder, hooks);

    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (expectedName.isEmpty()) {
        QVERIFY(!copy);
        QVERIFY(!copy.failure().reason.isEmpty());
        // Nothing under the backup's name, no temporary file, and another's file untouched.
        QCOMPARE(left, nameTaken ? QStringList{u"y.bak"_s} : QStringList{});
        if (nameTaken)
            QCOMPARE(Read(folder + u"/y.bak"_s), other);
        return;
    }
    QVERIFY2(copy, qPrintable(copy ? QString() : copy.failure().reason + copy.failure().detail));
    QCOMPARE(copy->path, folder + u'/' + expectedName);
    QCOMPARE(copy->bytes, kSourceBytes);
    QVERIFY(Read(copy->path) == data);
    QCOMPARE(left.size(), nameTaken ? 2 : 1);
    if (nameTaken)
        QCOMPARE(Read(folder + u"/y.bak"_s), other);
    QCOMPARE(percents.last(), 100);
    QVERIFY(std::is_sorted(percents.begin(), percents.end()));
}

// A second folder that went away (a USB disk unplugged mid-copy) gets the backups it missed at the next run,
// the newest first, up to the days kept; those already there are not copied again.
void tst_secondcopy::catchesUpNewestFirst()
{
    if (!WithoutRemovingBusyFolders().isEmpty())
        QSKIP(qPrintable(WithoutRemovingBusyFolders()));
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString backups = root.filePath(u"yedek"_s);
    const QString copies = root.filePath(u"usb"_s);
    QVERIFY(QDir().mkpath(backups));
    QStringList newestFirst;
    for (int days : {0, 1, 2, 9}) {
        newestFirst << BackupFileName(u"STOK"_s, kNow.addDays(-days));
        Write(backups + u'/' + newestFirst.last(), Content(1000 + days, char('a' + days)));
    }
    SecondCopyRequest request{backups, copies, u"STOK"_s, kNow, 3, newestFirst, false};

    // Unplugged mid-copy.
    QVERIFY(QDir().mkpath(copies));
    CopyHooks unplug;
    unplug.progress = [&](int) { QVERIFY(QDir(copies).removeRecursively()); };
    const SecondCopyReport away = MakeSecondCopies(request, unplug);
    QVERIFY(away.problem.startsWith(u"İKİNCİ KOPYA YAPILAMADI: "_s));
    QVERIFY(away.copied.isEmpty());
    QVERIFY(!QFileInfo::exists(copies));

    QVERIFY(QDir().mkpath(copies));
    Write(copies + u'/' + newestFirst[1], Content(1001, 'b'));
    // Someone else's file under a backup's name: the copy takes "-2", and counts as made from then on.
    Write(copies + u'/' + newestFirst[2], "another file");
    const QString numbered = copies + u'/' + NumberedName(newestFirst[2], 2);
    const SecondCopyReport back = MakeSecondCopies(request);
    QCOMPARE(back.problem, QString());
    QCOMPARE(back.copied, (QStringList{copies + u'/' + newestFirst[0], numbered}));
    QVERIFY(Read(back.copied[0]) == Read(backups + u'/' + newestFirst[0]));
    QVERIFY(Read(numbered) == Read(backups + u'/' + newestFirst[2]));
    QCOMPARE(Read(copies + u'/' + newestFirst[2]), QByteArray("another file"));
    QVERIFY(MakeSecondCopies(request).copied.isEmpty());
    QCOMPARE(QDir(backups).entryList(QDir::Files).size(), 4);

    // The backup folder itself, reached through a link, is refused: its days would clear the backups.
    QVERIFY(QFile::link(backups, root.filePath(u"ayni"_s)));
    request.copyFolder = root.filePath(u"ayni"_s);
    request.keepDays = 1;
    QVERIFY(!MakeSecondCopies(request).problem.isEmpty());
    QCOMPARE(QDir(backups).entryList(QDir::Files).size(), 4);
}

// The first folder's table of wrong clocks: the second folder holds copies 12 hours, 30 hours, 3 days and 10
// days old by the right clock, and keeps 1 day: the right clock keeps the new copy, 12 and 30 hours. Whatever
// the clock says, and whether or not its doubt was seen, those stay; nothing goes while this run's copy
// failed.
void tst_secondcopy::retentionThere_data()
{
    QTest::addColumn<QDateTime>("wallClock");
    QTest::addColumn<bool>("doubted");
    QTest::addColumn<bool>("copyFails");
    QTest::addColumn<int>("removed");
    QTest::newRow("right clock") << kNow << false << false << 2;
    QTest::newRow("right clock, copy damaged") << kNow << false << true << 0;
    QTest::newRow("+1 day, doubted") << kNow.addDays(1) << true << false << 0;
    QTest::newRow("+400 days, doubted") << kNow.addDays(400) << true << false << 0;
    QTest::newRow("+400 days, unseen") << kNow.addDays(400) << false << false << 2;
    QTest::newRow("year 2099, unseen") << QDateTime(QDate(2099, 1, 1), QTime(0, 0)) << false << false << 2;
    QTest::newRow("year 2000, unseen") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << false << false << 0;
    QTest::newRow("back a week, unseen") << kNow.addDays(-7) << false << false << 1;
}

void tst_secondcopy::retentionThere()
{
    QFETCH(QDateTime, wallClock);
    QFETCH(bool, doubted);
    QFETCH(bool, copyFails);
    QFETCH(int, removed);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString backups = root.filePath(u"yedek"_s);
    const QString copies = root.filePath(u"usb"_s);
    QVERIFY(QDir().mkpath(backups) && QDir().mkpath(copies));
    // This run's backup carries the wall clock's time in its name, as the runner makes it.
    QStringList newestFirst{BackupFileName(u"STOK"_s, wallClock)};
    Write(backups + u'/' + newestFirst[0], Content(500, 'z'));
    for (int hours : {12, 30, 72, 240}) {
        newestFirst << BackupFileName(u"STOK"_s, kNow.addSecs(-hours * 3600));
        Write(backups + u'/' + newestFirst.last(), Content(hours, 'k'));
        Write(copies + u'/' + newestFirst.last(), Content(hours, 'k'));
    }
    CopyHooks hooks;
    hooks.beforeCheck = [&](const QString &written) {
        if (copyFails)
            QVERIFY(QFile::resize(written, 1));
    };
    const SecondCopyReport report =
        MakeSecondCopies({backups, copies, u"STOK"_s, wallClock, 1, newestFirst, doubted}, hooks);

    QCOMPARE(report.problem.isEmpty(), !copyFails);
    for (int i = 1; i <= 2; ++i)
        QVERIFY2(QFile::exists(copies + u'/' + newestFirst[i]), qPrintable(newestFirst[i]));
    QCOMPARE(QDir(copies).entryList(QDir::Files).size(), (copyFails ? 4 : 5) - removed);
    QCOMPARE(QDir(backups).entryList(QDir::Files).size(), 5);
}

QTEST_GUILESS_MAIN(tst_secondcopy)
#include "tst_secondcopy.moc"
