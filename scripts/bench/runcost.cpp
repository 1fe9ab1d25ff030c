// What the run history and the progress messages cost each run. The history: one append to a history that
// already holds the runs before it, synced to disk, as the program makes it after each run (off the
// interface thread). The progress messages: the CPU time of the thread that sends the backup, with the
// program's statement (STATS = 10: ten "percent processed" messages, each closing a result) and with the
// same statement without STATS; and the interface thread's CPU time over a whole run, with each percent
// shown on YEDEKLE and without. Runs of the two kinds alternate, so both meet the same machine.
// Usage: kvz_bench_runcost [runs of each, 20]
#include "BenchProgram.h"
#include "EventLoopWaits.h"
#include "Sample.h"
#include "app/BackupController.h"
#include "backup/BackupPlan.h"
#include "backup/OpenConnection.h"
#include "backup/RunBackup.h"
#include "history/RunHistory.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QApplication>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

int fail(const QString &what)
{
    std::fprintf(stderr, "kvz_bench_runcost: %s\n", qPrintable(what));
    return 1;
}

double ThreadCpuMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
}

// The backup as RunBackup sends it, each message read as it arrives; the sending thread's CPU time.
// Nothing when it fails, or when the percents do not come as asked.
std::optional<double> SendBackup(const ConnectionValues &values, const QString &statement, bool progress)
{
    const double before = ThreadCpuMilliseconds();
    OdbcConnection odbc;
    if (!OpenConnection(odbc, values, kLoginTimeoutSeconds))
        return std::nullopt;
    int percents = 0;
    const bool ok = odbc.executeBatch(statement, [&percents](const ServerMessage &message) {
        if (ProgressPercent(message))
            ++percents;
    });
    if (!ok || (percents > 0) != progress)
        return std::nullopt;
    return ThreadCpuMilliseconds() - before;
}

std::optional<double> RunFromWindow(BackupController &controller)
{
    const double before = ThreadCpuMilliseconds();
    controller.runNow();
    const std::optional<FinishedRun> finished = WaitForRun(controller, 30s);
    if (!finished || !finished->result.ok)
        return std::nullopt;
    return ThreadCpuMilliseconds() - before;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    BenchProgram shown;
    BenchProgram unshown(BenchProgram::Progress::NotShown);
    for (BenchProgram *program : {&shown, &unshown}) {
        if (const std::optional<QString> problem = program->start())
            return fail(*problem);
        program->server().setBackupDuration(1000);
    }

    const RunHistory history(shown.folder().path());
    for (int run = 0; run < runs; ++run) {
        const QDateTime now = QDateTime::currentDateTime();
        const RunRecord record{0,
                               u"interval"_s,
                               now.addSecs(-2),
                               now,
                               true,
                               shown.folder().backupPath(now.toString(u"yyyyMMddHHmmss"_s) + u"-STOK.bak"_s),
                               2'147'483'648,
                               QString(),
                               QString(),
                               {}};
        const auto start = std::chrono::steady_clock::now();
        if (!history.append(record))
            return fail(u"the history cannot be written"_s);
        PrintSample("runcost.history.append_ms", Milliseconds(std::chrono::steady_clock::now() - start));
    }

    const ConnectionValues values =
        StoredConnectionValues(SettingsFiles::ConnectionFile(shown.folder().path()));
    for (int run = 0; run < runs; ++run) {
        const QDateTime now = QDateTime::currentDateTime();
        const QString statement =
            PlanBackup(u"STOK"_s, shown.folder().backupFolder(), now, {}, false).statement;
        const QString withoutStats = QString(statement).remove(u", STATS = 10"_s);
        if (withoutStats == statement)
            return fail(u"the statement asks for no progress"_s);
        const std::optional<double> with = SendBackup(values, statement, true);
        const std::optional<double> without = SendBackup(values, withoutStats, false);
        if (!with || !without)
            return fail(u"a backup sent by the bench failed"_s);
        PrintSample("runcost.sender_cpu.with_progress_ms", *with);
        PrintSample("runcost.sender_cpu.without_progress_ms", *without);
    }

    for (int run = 0; run < runs; ++run) {
        Pause(300ms);
        const std::optional<double> with = RunFromWindow(shown.controller());
        Pause(300ms);
        const std::optional<double> without = RunFromWindow(unshown.controller());
        if (!with || !without)
            return fail(u"a backup from a window failed"_s);
        PrintSample("runcost.ui_cpu.with_progress_ms", *with);
        PrintSample("runcost.ui_cpu.without_progress_ms", *without);
    }
    return 0;
}
