// What a restore test costs beyond the server's own work (the restore and DBCC CHECKDB, which take what
// they take on the real server): the loopback server answers each statement at once, so what is left is
// the program's part. Per test: the wall time of the whole test (eight statements on one connection, the
// two history writes), the calling thread's CPU time, and the two history writes alone.
// Usage: kvz_bench_restorecost [tests, 20]
#include "Sample.h"
#include "backup/RunBackup.h"
#include "history/RestoreTestLog.h"
#include "schedule/RestoreTestRun.h"
#include "support/ProgramFolder.h"
#include "support/TestServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

int fail(const QString &what)
{
    std::fprintf(stderr, "kvz_bench_restorecost: %s\n", qPrintable(what));
    return 1;
}

double ThreadCpuMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int tests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    ProgramFolder program;
    QTemporaryDir data;
    const auto server = StartTestServer();
    if (!program.isValid() || !data.isValid() || !server || !program.write(server->port()))
        return fail(u"cannot set up the program folder and the server"_s);
    // No pacing: the restore's progress and its end come at once.
    server->setBackupDuration(0);
    server->setDataFolder(data.path());
    const ProgramSettings settings;
    const BackupResult backup = RunBackup({u"127.0.0.1"_s, QString::number(server->port()), settings.database,
                                           settings.login, settings.password},
                                          program.backupFolder(), QDateTime::currentDateTime());
    if (!backup.ok)
        return fail(backup.reason);

    const auto now = [] { return QDateTime::currentDateTime(); };
    for (int test = 0; test < tests; ++test) {
        const double cpuBefore = ThreadCpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        const RestoreTestRun run = RunRecordedRestoreTest(program.path(), backup.filePath, now);
        const auto end = std::chrono::steady_clock::now();
        if (run.result.verdict != RestoreVerdict::Clean || !run.historyProblem.isEmpty())
            return fail(u"a test did not end clean: "_s + run.result.reason + run.historyProblem);
        PrintSample("restorecost.test_wall_ms", Milliseconds(end - start));
        PrintSample("restorecost.test_cpu_ms", ThreadCpuMilliseconds() - cpuBefore);
    }

    const RestoreTestLog log(program.path());
    for (int test = 0; test < tests; ++test) {
        RestoreTestRecord record;
        record.started = now();
        record.ended = record.started;
        record.scratchName = u"STOK_YEDEK_DENEMESI"_s;
        const auto start = std::chrono::steady_clock::now();
        const Result<qint64> id = log.begin(record);
        if (!id || !log.finish(id.value(), record))
            return fail(u"the history cannot be written"_s);
        PrintSample("restorecost.history_writes_ms", Milliseconds(std::chrono::steady_clock::now() - start));
    }
    return 0;
}
