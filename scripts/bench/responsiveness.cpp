// The window's clock while the server takes ten seconds over a backup: the run on the backup worker as
// the program makes it, then the same run called on the user-interface thread for comparison.
// Usage: kvz_bench_responsiveness [runs of each kind, 3]
#include "BenchFolder.h"
#include "BenchServer.h"
#include "EventLoopWaits.h"
#include "Sample.h"
#include "TickRecorder.h"
#include "app/BackupRunner.h"
#include "app/KVZ.h"
#include "backup/RunBackup.h"
#include "tdstestserver.h"

#include <QApplication>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr int kBackupMs = 10000;

int fail(const char *what)
{
    std::fprintf(stderr, "kvz_bench_responsiveness: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    QApplication::setQuitOnLastWindowClosed(false);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    tdstest::TdsTestServer server;
    if (!ListenForBench(server))
        return fail("the test server cannot listen");
    const BenchFolder folder(server.port());
    if (!folder.isValid())
        return fail("cannot write the program folder");

    SystemClock clock;
    KVZ window(folder.path(), clock, MakeBackupRunner(folder.path(), clock));
    const TickRecorder ticks(100ms);
    window.startUp();
    const std::optional<FinishedRun> startUpRun = WaitForRun(window, 30s);
    if (!startUpRun || !startUpRun->result.ok)
        return fail("the start-up backup failed");
    server.setBackupDuration(kBackupMs);

    for (int run = 0; run < runs; ++run) {
        Pause(1s);
        const auto start = std::chrono::steady_clock::now();
        window.runNow();
        const std::optional<FinishedRun> finished =
            WaitForRun(window, std::chrono::milliseconds(kBackupMs) + 30s);
        if (!finished || !finished->result.ok)
            return fail("a backup on the worker failed");
        Pause(300ms);
        const std::optional<double> gap = ticks.longestGapMs(start, finished->at);
        if (!gap)
            return fail("no clock tick around the worker's run");
        PrintSample("responsiveness.worker.longest_gap_ms", *gap);
        PrintSample("responsiveness.worker.run_ms", Milliseconds(finished->at - start));
    }

    for (int run = 0; run < runs; ++run) {
        Pause(1s);
        const auto start = std::chrono::steady_clock::now();
        const BackupResult result = RunBackup(folder.path(), [] { return QDateTime::currentDateTime(); });
        const auto end = std::chrono::steady_clock::now();
        if (!result.ok)
            return fail("a backup on the interface thread failed");
        Pause(300ms);
        const std::optional<double> gap = ticks.longestGapMs(start, end);
        if (!gap)
            return fail("no clock tick around the interface thread's run");
        PrintSample("responsiveness.uithread.longest_gap_ms", *gap);
        PrintSample("responsiveness.uithread.run_ms", Milliseconds(end - start));
    }
    return 0;
}
