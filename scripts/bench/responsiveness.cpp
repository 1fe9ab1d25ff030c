// The window's clock while the server takes ten seconds over a backup: the run on the backup worker as
// the program makes it, then the same run called on the user-interface thread for comparison.
// Usage: kvz_bench_responsiveness [runs of each kind, 3]
#include "BenchProgram.h"
#include "EventLoopWaits.h"
#include "Sample.h"
#include "TickRecorder.h"
#include "app/BackupController.h"
#include "backup/ProgramBackup.h"

#include <QApplication>
#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kBackupTime = 10s;

int fail(const QString &what)
{
    std::fprintf(stderr, "kvz_bench_responsiveness: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const TickRecorder ticks(100ms);
    BenchProgram program;
    if (const std::optional<QString> problem = program.start())
        return fail(*problem);
    program.server().setBackupDuration(int(kBackupTime.count()));

    for (int run = 0; run < runs; ++run) {
        Pause(1s);
        const auto start = std::chrono::steady_clock::now();
        program.controller().runNow();
        const std::optional<FinishedRun> finished = WaitForRun(program.controller(), kBackupTime + 30s);
        if (!finished || !finished->result.ok)
            return fail(QStringLiteral("a backup on the worker failed"));
        Pause(300ms);
        const std::optional<double> gap = ticks.longestGapMs(start, finished->at);
        if (!gap)
            return fail(QStringLiteral("no clock tick around the worker's run"));
        PrintSample("responsiveness.worker.longest_gap_ms", *gap);
        PrintSample("responsiveness.worker.run_ms", Milliseconds(finished->at - start));
    }

    for (int run = 0; run < runs; ++run) {
        Pause(1s);
        const auto start = std::chrono::steady_clock::now();
        const BackupResult result = RunProgramBackup(program.folder().path(), QDateTime::currentDateTime());
        const auto end = std::chrono::steady_clock::now();
        if (!result.ok)
            return fail(QStringLiteral("a backup on the interface thread failed"));
        Pause(300ms);
        const std::optional<double> gap = ticks.longestGapMs(start, end);
        if (!gap)
            return fail(QStringLiteral("no clock tick around the interface thread's run"));
        PrintSample("responsiveness.uithread.longest_gap_ms", *gap);
        PrintSample("responsiveness.uithread.run_ms", Milliseconds(end - start));
    }
    return 0;
}
