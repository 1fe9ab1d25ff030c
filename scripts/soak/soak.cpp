// A simulated week of "Dakikada bir yedekle" against the loopback test server: real connections through
// the driver, real backup files, the clock fast-forwarded tick by tick. Runs take no simulated time (the
// clock stands still while the worker runs), so the schedule is exactly one run a minute.
#include "app/BackupController.h"
#include "app/KVZ.h"
#include "backup/ProgramBackup.h"
#include "schedule/BackupRunner.h"
#include "schedule/Schedule.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "kvz.*=false");
    QApplication app(argc, argv);
    const int days = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;

    // The server runs in a process of its own, so that the resident memory measured is the program's alone
    // (the server keeps a record of every login and batch).
    ProgramFolder program;
    QProcess server;
    const QString serverLog = program.path() + QStringLiteral("/server.log");
    server.setStandardErrorFile(serverLog);
    server.start(QStringLiteral(TDSSERVER_CLI),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--login"),
                  QStringLiteral("sa:Gizli;1"), QStringLiteral("--database"), QStringLiteral("STOK"),
                  QStringLiteral("--backup-seconds"), QStringLiteral("0")});
    if (!server.waitForReadyRead(10000))
        return 2;
    const QRegularExpression listening(QStringLiteral("127\\.0\\.0\\.1:(\\d+)"));
    const quint16 port =
        listening.match(QString::fromUtf8(server.readAllStandardOutput())).captured(1).toUShort();
    if (port == 0 ||
        !program.write(port, {.dailyHour = QStringLiteral("03"), .interval = IntervalChoices().at(0)}))
        return 2;

    // Half a minute past midnight, so the daily run at 03:00:00 falls between two interval runs on day one.
    const QDateTime start(QDate(2026, 12, 7), QTime(0, 0, 30), Qt::UTC);
    const QDateTime end = start.addDays(days);
    ManualClock clock(start);
    BackupController controller(program.path(), clock, clock,
                                MakeBackupRunner(
                                    program.path(), [&c = clock] { return c.now(); }, clock));
    KVZ window(controller);
    controller.setQuestion([](const QString &) { return false; });

    int runs = 0;
    int failures = 0;
    QObject::connect(&controller, &BackupController::runFinished, [&](const BackupResult &result) {
        ++runs;
        failures += result.ok ? 0 : 1;
    });
    auto waitForRun = [&](int finishedBefore) {
        while (runs == finishedBefore)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    };

    window.startUp();
    // This loop is the clock: the window's own timer would tick on real time.
    window.findChild<QTimer *>(QStringLiteral("zaman"))->stop();
    waitForRun(0);
    const long rssStart = residentKiB();
    long rssAfterDay = -1;
    while (clock.now() < end) {
        clock.advance(100);
        const int finished = runs;
        window.tick();
        if (controller.isRunInFlight())
            waitForRun(finished);
        if (rssAfterDay < 0 && clock.now() >= start.addDays(1))
            rssAfterDay = residentKiB();
    }
    const long rssEnd = residentKiB();
    server.terminate();
    server.waitForFinished();
    QFile log(serverLog);
    log.open(QIODevice::ReadOnly);
    const QByteArray serverEvents = log.readAll();
    const qsizetype aborted = serverEvents.count("aborted by the client") + serverEvents.count("attention");

    const QStringList files = QDir(program.backupFolder()).entryList({QStringLiteral("*.bak")}, QDir::Files);
    const int minutes = static_cast<int>(start.secsTo(end) / 60);
    // One run at the start, then one a minute. The daily run at 03:00:00 takes the place of the run due at
    // 03:00:30 on day one (the interval then counts from it, on whole minutes) and falls on an interval run
    // on the later days: it never adds a second backup to a minute.
    const int expected = 1 + minutes;
    QList<QDateTime> times;
    for (const QString &file : files)
        times << QDateTime::fromString(file.left(14), QStringLiteral("yyyyMMddHHmmss"));
    std::sort(times.begin(), times.end());
    int irregularGaps = 0;
    int dailyRuns = 0;
    for (qsizetype i = 0; i < times.size(); ++i) {
        dailyRuns += times[i].time() == QTime(3, 0) ? 1 : 0;
        const qint64 gap = i > 0 ? times[i - 1].secsTo(times[i]) : 60;
        const bool dailyOfDayOne = times[i] == QDateTime(start.date(), QTime(3, 0)) && gap == 30;
        irregularGaps += gap == 60 || dailyOfDayOne ? 0 : 1;
    }
    std::printf("simulated days:          %d\n", days);
    std::printf("runs:                    %d (expected %d)\n", runs, expected);
    std::printf("failed runs:             %d\n", failures);
    std::printf("backup files:            %lld\n", static_cast<long long>(files.size()));
    std::printf("aborted on the server:   %lld\n", static_cast<long long>(aborted));
    std::printf("daily runs at 03:00:00:  %d (expected %d)\n", dailyRuns, days);
    std::printf("gaps other than 60 s:    %d (expected 0, the daily run of day one aside)\n", irregularGaps);
    std::printf("resident memory (KiB):   start %ld, after one day %ld, end %ld\n", rssStart, rssAfterDay,
                rssEnd);
    const bool ok = runs == expected && failures == 0 && files.size() == runs && dailyRuns == days &&
                    irregularGaps == 0 && aborted == 0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
