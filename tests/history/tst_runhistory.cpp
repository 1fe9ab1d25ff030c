#include "history/RunHistory.h"
#include "platform/OwnerOnly.h"
#include "support/SystemQuestions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNoon(QDate(2026, 12, 7), QTime(12, 0), QTimeZone(3 * 3600));

RunRecord Run(const QString &cause, const QDateTime &ended, bool ok, const QString &file = {})
{
    RunRecord record;
    record.cause = cause;
    record.started = ended.addSecs(-95);
    record.ended = ended;
    record.ok = ok;
    record.file = file;
    record.sizeBytes = ok ? 1'234'567 : -1;
    record.reason = ok ? QString() : u"Sunucuya ulaşılamadı.\nUnable to connect: Adaptive Server"_s;
    record.verification = ok ? u"doğrulandı"_s : QString();
    record.removed =
        ok ? QStringList{u"eski.bak silindi"_s, u"son.bak silinmedi: tek yedek"_s} : QStringList();
    return record;
}

// The instants compare equal across zones; the labels need the offset each run was recorded with.
QStringList LocalTimes(const QList<RunRecord> &records)
{
    QStringList times;
    for (const RunRecord &record : records)
        times << record.started.toString(Qt::ISODateWithMs) << record.ended.toString(Qt::ISODateWithMs);
    return times;
}

// QVERIFY2 builds its message whether the check holds or not.
template <typename T> QByteArray Why(const Result<T> &result)
{
    return result ? QByteArray() : (result.failure().reason + u'\n' + result.failure().detail).toUtf8();
}

} // namespace

class tst_runhistory : public QObject {
    Q_OBJECT

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void roundTrip_data();
    void roundTrip();
    void olderFileGainsColumns();
    void newFileOpenedByManyAtOnce();
    void bounds_data();
    void bounds();
    void recentSizes_data();
    void recentSizes();
    void runFromItsStart_data();
    void runFromItsStart();
    void longestSuccess_data();
    void longestSuccess();
    void damagedFileIsSetAside();
    void lockedFileFailsAfterWaiting();
    void writableAgainAfterReadOnly();
    void survivesKill_data();
    void survivesKill();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_runhistory::roundTrip_data()
{
    QTest::addColumn<QList<RunRecord>>("records");
    QTest::addColumn<RunSummary>("summary");
    QTest::addColumn<QDateTime>("since");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("successes"); // newest first

    QTest::newRow("empty") << QList<RunRecord>() << RunSummary() << kNoon.addDays(-1) << QStringList()
                           << QStringList();
    QTest::newRow("success, then failure")
        << QList<RunRecord>{Run(u"start"_s, kNoon.addSecs(-7200), true, u"C:\\Yedek\\a.bak"_s),
                            Run(u"interval"_s, kNoon.addSecs(-3600), false, u"/srv/yedek/b.bak"_s)}
        << RunSummary{kNoon.addSecs(-7200), 1, 1} << kNoon.addSecs(-7200) << QStringList{u"b.bak"_s}
        << QStringList{u"a.bak"_s};
    const QDateTime summer(QDate(2026, 7, 1), QTime(3, 0), QTimeZone(2 * 3600));
    QTest::newRow("older than 7 days, other zones")
        << QList<RunRecord>{Run(u"daily hour"_s, summer, true, u"x.bak"_s),
                            Run(u"catch-up"_s, kNoon.addDays(-6).toOffsetFromUtc(-5 * 3600), false)}
        << RunSummary{summer, 0, 1} << summer.addDays(-1) << QStringList{u"x.bak"_s}
        << QStringList{u"x.bak"_s};
    RunRecord timed = Run(u"retry"_s, kNoon, true, u"t.bak"_s);
    timed.startedElapsedMs = 5'000;
    timed.endedElapsedMs = 100'000;
    timed.bootId = u"b0a7"_s;
    RunRecord unfinished = Run(u"button"_s, kNoon, false);
    unfinished.finished = false;
    QTest::newRow("elapsed times, boot, a run not yet ended")
        << QList<RunRecord>{timed, unfinished} << RunSummary{kNoon, 1, 0} << kNoon.addDays(-1)
        << QStringList{u"t.bak"_s} << QStringList{u"t.bak"_s};
    RunRecord ahead = Run(u"interval"_s, kNoon.addDays(400), true, u"C:\\Yedek\\20280111-STOK.bak"_s);
    ahead.clockSuspect = true;
    QTest::newRow("a run under a clock in doubt, then one set right")
        << QList<RunRecord>{Run(u"start"_s, kNoon.addSecs(-3600), true, u"/y/20261207-STOK.bak"_s), ahead,
                            Run(u"interval"_s, kNoon, true, u"/y/20261207b-STOK.bak"_s)}
        << RunSummary{kNoon, 3, 0} << kNoon.addDays(-1)
        << QStringList{u"20261207-STOK.bak"_s, u"20280111-STOK.bak"_s, u"20261207b-STOK.bak"_s}
        << QStringList{u"20261207b-STOK.bak"_s, u"20280111-STOK.bak"_s, u"20261207-STOK.bak"_s};
}

// One history of several databases' runs, asked for one database's recent sizes.
void tst_runhistory::recentSizes_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QList<qint64>>("sizes"); // the newest two
    QTest::newRow("a copy, a server path; no failure, size 0 or longer name")
        << u"STOK"_s << QList<qint64>{70, 20};
    QTest::newRow("letter case") << u"stok"_s << QList<qint64>{30};
    QTest::newRow("brackets and a colon") << u"S [1]:a"_s << QList<qint64>{40};
}

void tst_runhistory::recentSizes()
{
    QFETCH(QString, database);
    QFETCH(QList<qint64>, sizes);
    const RunHistory history(dir_->path());
    const QList<std::tuple<QString, qint64, bool>> runs{
        {u"/y/1-STOK.bak"_s, 10, true},  {u"C:\\Y\\2-STOK-2.bak"_s, 20, true},
        {u"/y/3-stok.bak"_s, 30, true},  {u"/y/4-S [1]_a.bak"_s, 40, true},
        {u"/y/5-STOK2.bak"_s, 50, true}, {u"/y/6-STOK.bak"_s, 0, true},
        {u"/y/7-STOK.bak"_s, 60, false}, {u"/y/8-STOK.bak"_s, 70, true}};
    for (const auto &[file, size, ok] : runs) {
        RunRecord record = Run(u"interval"_s, kNoon, ok, file);
        record.sizeBytes = size;
        QVERIFY(history.append(record));
    }
    const Result<QList<qint64>> found = history.recentSizes(database, 2);
    QVERIFY2(found, Why(found));
    QCOMPARE(found.value(), sizes);
}

// A file written before the elapsed times and the boot were kept still opens, its rows reading them as
// unknown, and takes new runs.
void tst_runhistory::olderFileGainsColumns()
{
    const QString path = QDir(dir_->path()).filePath(RunHistory::kFileName);
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
        old.setDatabaseName(path);
        QVERIFY(old.open());
        QSqlQuery query(old);
        QVERIFY(query.exec(u"CREATE TABLE runs (id INTEGER PRIMARY KEY AUTOINCREMENT, cause TEXT NOT NULL, "
                           "started_ms INTEGER, started_offset INTEGER, ended_ms INTEGER NOT NULL, "
                           "ended_offset INTEGER NOT NULL, ok INTEGER NOT NULL, file TEXT NOT NULL, "
                           "size_bytes INTEGER NOT NULL, reason TEXT NOT NULL, verification TEXT NOT NULL, "
                           "removed TEXT NOT NULL)"_s));
        QVERIFY(query.exec(
            u"INSERT INTO runs VALUES (1, 'start', NULL, NULL, %1, 0, 1, 'a.bak', 5, '', '', '')"_s.arg(
                kNoon.toMSecsSinceEpoch())));
        old.close();
    }
    QSqlDatabase::removeDatabase(u"old"_s);
    const RunHistory history(dir_->path());
    const Result<std::optional<RunRecord>> old = history.last();
    QVERIFY2(old, Why(old));
    QCOMPARE(old.value()->file, u"a.bak"_s);
    QCOMPARE(old.value()->endedElapsedMs, -1);
    QVERIFY(old.value()->bootId.isEmpty());
    QVERIFY(old.value()->finished);
    QVERIFY(history.append(Run(u"button"_s, kNoon.addSecs(60), true, u"b.bak"_s)));
    QCOMPARE(history.recent(10).value().size(), 2);
}

void tst_runhistory::roundTrip()
{
    QFETCH(QList<RunRecord>, records);
    QFETCH(RunSummary, summary);
    QFETCH(QDateTime, since);
    QFETCH(QStringList, names);
    QFETCH(QStringList, successes);

    const RunHistory history(dir_->path());
    QList<RunRecord> newestFirst;
    for (RunRecord record : records) {
        const Result<qint64> id = history.append(record);
        QVERIFY2(id, Why(id));
        record.id = id.value();
        newestFirst.prepend(record);
    }
    const Result<QList<RunRecord>> recent = history.recent(100);
    QVERIFY(recent);
    QCOMPARE(recent.value(), newestFirst);
    QCOMPARE(LocalTimes(recent.value()), LocalTimes(newestFirst));
    QCOMPARE(history.last().value(),
             newestFirst.isEmpty() ? std::nullopt : std::optional(newestFirst.first()));
    QCOMPARE(history.summary(kNoon).value(), summary);
    QCOMPARE(history.namesSince(since).value(), names);
    QCOMPARE(history.successfulNames(100).value(), successes);
    QCOMPARE(history.successfulNames(1).value(), successes.mid(0, 1));
}

// The program's first start opens a new file from the history's worker and the backup's at once: each
// must find the table whole, none may fail on a column the other has just added.
void tst_runhistory::newFileOpenedByManyAtOnce()
{
    for (int round = 0; round < 10; ++round) {
        const QTemporaryDir dir;
        const RunHistory history(dir.path());
        QList<QFuture<QString>> opened;
        for (int i = 0; i < 6; ++i)
            opened.append(QtConcurrent::run([&history, i] {
                const Result<qint64> appended =
                    history.append(Run(u"start"_s, kNoon.addSecs(i), true, u"a.bak"_s));
                return appended ? QString() : appended.failure().detail;
            }));
        for (QFuture<QString> &each : opened)
            QVERIFY2(each.result().isEmpty(), qPrintable(each.result()));
    }
}

void tst_runhistory::bounds_data()
{
    QTest::addColumn<int>("cap");
    QTest::addColumn<QList<int>>("endDays");
    QTest::addColumn<QList<int>>("doubted"); // the runs recorded under a clock in doubt
    QTest::addColumn<QList<int>>("unfinished");
    QTest::addColumn<QList<int>>("kept");

    const QList<int> none;
    QTest::newRow("the newest up to the cap")
        << 3 << QList<int>{0, 0, 0, 0, 0} << none << none << QList<int>{2, 3, 4};
    QTest::newRow("more than a year before the newest")
        << 100 << QList<int>{-366, -364, 0} << none << none << QList<int>{1, 2};
    QTest::newRow("a year counted from the newest run")
        << 100 << QList<int>{-400, -399} << none << none << QList<int>{0, 1};
    QTest::newRow("both") << 2 << QList<int>{-500, 0, 0, 0} << none << none << QList<int>{2, 3};
    QTest::newRow("a clock in doubt ages nothing out")
        << 100 << QList<int>{-2, -1, 400} << QList<int>{2} << none << QList<int>{0, 1, 2};
    QTest::newRow("the next trusted run ages out by its own clock")
        << 100 << QList<int>{-400, 400, 0} << QList<int>{1} << none << QList<int>{1, 2};
    QTest::newRow("the cap holds under a clock in doubt")
        << 2 << QList<int>{0, 0, 400} << QList<int>{2} << none << QList<int>{1, 2};
    QTest::newRow("a run not yet ended ages nothing out")
        << 100 << QList<int>{-2, 400} << none << QList<int>{1} << QList<int>{0, 1};
}

void tst_runhistory::bounds()
{
    QFETCH(int, cap);
    QFETCH(QList<int>, endDays);
    QFETCH(QList<int>, doubted);
    QFETCH(QList<int>, unfinished);
    QFETCH(QList<int>, kept);

    const RunHistory history(dir_->path(), cap);
    QList<qint64> ids;
    for (int index = 0; index < endDays.size(); ++index) {
        RunRecord run = Run(u"interval"_s, kNoon.addDays(endDays[index]), true);
        run.clockSuspect = doubted.contains(index);
        run.finished = !unfinished.contains(index);
        ids.append(history.append(run).value());
    }
    QList<qint64> expected;
    for (int index : kept)
        expected.prepend(ids[index]);
    const Result<QList<RunRecord>> recent = history.recent(1000);
    QList<qint64> stored;
    for (const RunRecord &record : recent.value())
        stored.append(record.id);
    QCOMPARE(stored, expected);
}

// Steps: b the run begins, f its row is finished, l a row no longer there is, r the program starts again.
// Rows newest first: "running", "ok", or "cut" (cut short, with no end read).
void tst_runhistory::runFromItsStart_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QList<int>>("marked");
    QTest::newRow("in flight") << u"b"_s << u"running"_s << QList<int>{};
    QTest::newRow("ended") << u"bf"_s << u"ok"_s << QList<int>{};
    QTest::newRow("cut short, then two starts") << u"brr"_s << u"cut"_s << QList<int>{1, 0};
    QTest::newRow("ended before the next start") << u"bfr"_s << u"ok"_s << QList<int>{0};
    QTest::newRow("its row gone: kept anew") << u"blr"_s << u"ok cut"_s << QList<int>{1};
}

void tst_runhistory::runFromItsStart()
{
    QFETCH(QString, steps);
    QFETCH(QString, rows);
    QFETCH(QList<int>, marked);
    const RunHistory history(dir_->path());
    RunRecord run = Run(u"button"_s, kNoon, true, u"a.bak"_s);
    run.startedElapsedMs = 1'000;
    run.endedElapsedMs = 96'000;
    qint64 id = 0;
    QList<int> closed;
    for (const QChar step : steps) {
        if (step == u'b')
            id = history.begin(run).value();
        else if (step == u'r')
            closed << history.closeInterrupted().value();
        else
            QVERIFY(history.finish(step == u'l' ? id + 1 : id, run));
    }
    QCOMPARE(closed, marked);
    QStringList states;
    const Result<QList<RunRecord>> stored = history.recent(10);
    for (const RunRecord &row : stored.value()) {
        const bool cut = row.reason == RunHistory::kInterruptedReason && row.endedElapsedMs == -1 && !row.ok;
        states << (!row.finished ? u"running"_s : cut ? u"cut"_s : row.ok ? u"ok"_s : u"failed"_s);
    }
    QCOMPARE(states.join(u' '), rows);
}

void tst_runhistory::longestSuccess_data()
{
    QTest::addColumn<QList<RunRecord>>("records");
    QTest::addColumn<qint64>("longest");
    // 95 s by the wall clock; the first is set back an hour during a run of 60 s.
    RunRecord stepped = Run(u"interval"_s, kNoon, true);
    stepped.started = kNoon.addSecs(3600);
    stepped.startedElapsedMs = 10'000;
    stepped.endedElapsedMs = 70'000;
    // A day long each, neither counts.
    RunRecord failed = Run(u"interval"_s, kNoon, false);
    failed.started = kNoon.addDays(-1);
    RunRecord running = failed;
    running.ok = true;
    running.finished = false;
    QTest::newRow("none") << QList<RunRecord>{} << qint64(0);
    QTest::newRow("elapsed over a clock set back") << QList<RunRecord>{stepped} << qint64(60'000);
    QTest::newRow("wall clock without elapsed times, failures and runs in flight left out")
        << QList<RunRecord>{stepped, Run(u"start"_s, kNoon, true), failed, running} << qint64(95'000);
}

void tst_runhistory::longestSuccess()
{
    QFETCH(QList<RunRecord>, records);
    QFETCH(qint64, longest);
    const RunHistory history(dir_->path());
    for (const RunRecord &record : records)
        QVERIFY(history.append(record));
    QCOMPARE(history.longestSuccessMs().value(), longest);
}

void tst_runhistory::damagedFileIsSetAside()
{
    const RunHistory history(dir_->path());
    const QByteArray garbage = QByteArray("not a database, bozuk veri ").repeated(300);
    QFile file(history.filePath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(garbage) == garbage.size());
    file.close();

    const Result<qint64> first = history.append(Run(u"start"_s, kNoon, true));
    QVERIFY(!first);
    const QString aside = history.filePath() + u".bozuk-20261207120000"_s;
    // The user reads paths as the system writes them.
    QVERIFY2(first.failure().reason.contains(QDir::toNativeSeparators(history.filePath())) &&
                 first.failure().reason.contains(QDir::toNativeSeparators(aside)),
             Why(first));
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), garbage);

    const Result<qint64> next = history.append(Run(u"button"_s, kNoon.addSecs(60), true));
    QVERIFY2(next, Why(next));
    QCOMPARE(history.recent(10).value().size(), 2);
    QVERIFY(!OpenToOthers(QFileInfo(history.filePath())));
}

void tst_runhistory::lockedFileFailsAfterWaiting()
{
    const RunHistory history(dir_->path());
    QVERIFY(history.append(Run(u"start"_s, kNoon, true)));
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
        holder.setDatabaseName(history.filePath());
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY(lock.exec(u"BEGIN EXCLUSIVE"_s));
        QElapsedTimer waited;
        waited.start();
        const Result<qint64> blocked = history.append(Run(u"interval"_s, kNoon.addSecs(60), true));
        QVERIFY(!blocked);
        QVERIFY2(waited.elapsed() >= 1500 && waited.elapsed() < 10'000,
                 qPrintable(QString::number(waited.elapsed())));
        QVERIFY2(blocked.failure().reason.contains(QDir::toNativeSeparators(history.filePath())),
                 Why(blocked));
        QVERIFY(lock.exec(u"ROLLBACK"_s));
    }
    QSqlDatabase::removeDatabase(u"holder"_s);
    QVERIFY(history.append(Run(u"interval"_s, kNoon.addSecs(120), true)));
    QCOMPARE(history.recent(10).value().size(), 2);
    QCOMPARE(QDir(dir_->path()).entryList({u"*.bozuk-*"_s}), QStringList());
}

// Someone makes the file read-only (a copy to a stick, a backup tool) and then gives it back.
void tst_runhistory::writableAgainAfterReadOnly()
{
    if (RunsAsSuperUser())
        QSKIP("the superuser writes whatever the mode; CTest runs this case again as another user");
    const RunHistory history(dir_->path());
    QVERIFY(history.append(Run(u"start"_s, kNoon, true)));
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QVERIFY(QFile::setPermissions(history.filePath(), QFile::ReadOwner));
    const Result<QList<RunRecord>> read = history.recent(10);
    QVERIFY2(read, Why(read));
    QCOMPARE(read->size(), 1);
    QVERIFY(!history.append(Run(u"button"_s, kNoon.addSecs(60), true)));
    QVERIFY(QFile::setPermissions(history.filePath(), ownerOnly));

    const Result<qint64> again = history.append(Run(u"interval"_s, kNoon.addSecs(120), true));
    QVERIFY2(again, Why(again));
    QCOMPARE(history.recent(10).value().size(), 2);
}

void tst_runhistory::survivesKill_data()
{
    QTest::addColumn<int>("killAfter");
    QTest::newRow("first run") << 1;
    QTest::newRow("some runs") << 40;
    QTest::newRow("many runs") << 150;
}

void tst_runhistory::survivesKill()
{
    QFETCH(int, killAfter);
    QProcess writer;
    writer.start(QString::fromUtf8(HISTORY_WRITER), {dir_->path()});
    QByteArray printed;
    while (printed.count('\n') < killAfter) {
        QVERIFY2(writer.waitForReadyRead(10'000), writer.readAllStandardError().constData());
        printed += writer.readAllStandardOutput();
    }
    writer.kill();
    QVERIFY(writer.waitForFinished());
    QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
    printed += writer.readAllStandardOutput();

    const Result<QList<RunRecord>> recent = RunHistory(dir_->path()).recent(100'000);
    QVERIFY2(recent, Why(recent));
    QSet<qint64> stored;
    for (const RunRecord &record : recent.value())
        stored.insert(record.id);
    // The kill may cut the last line short: only whole lines are appends that returned.
    const QList<QByteArray> ids = printed.left(printed.lastIndexOf('\n')).split('\n');
    for (const QByteArray &id : ids)
        QVERIFY2(stored.contains(id.toLongLong()), id.constData());
    QVERIFY(stored.size() >= ids.size());
}

QTEST_GUILESS_MAIN(tst_runhistory)
#include "tst_runhistory.moc"
