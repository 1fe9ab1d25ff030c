// What a run adds to the server's own work on loopback: from "back up now" to the statement at the server,
// and from the server's last message to the last-backup label. The same statement sent by FreeTDS's tsql,
// started once per run as a cron job would, for comparison.
// Usage: kvz_bench_overhead [runs of each, 20] [the server's time for one backup in ms, 1000]
#include "BenchProgram.h"
#include "EventLoopWaits.h"
#include "Sample.h"
#include "ServerEventTimes.h"
#include "app/BackupController.h"
#include "backup/BackupPlan.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kBatch = u"batch: "_s;
const QString kWritten = u"backup written: "_s;

int fail(const QString &what)
{
    std::fprintf(stderr, "kvz_bench_overhead: %s\n", qPrintable(what));
    return 1;
}

void printOverhead(const char *client, ServerEventTimes::TimePoint start, ServerEventTimes::TimePoint batch,
                   ServerEventTimes::TimePoint written, ServerEventTimes::TimePoint end)
{
    const QByteArray prefix = QByteArray("overhead.") + client;
    PrintSample((prefix + ".to_statement_ms").constData(), Milliseconds(batch - start));
    PrintSample((prefix + ".after_last_message_ms").constData(), Milliseconds(end - written));
    PrintSample((prefix + ".total_ms").constData(), Milliseconds((batch - start) + (end - written)));
}

bool writeStatement(const QString &path, const QString &statement)
{
    QFile file(path);
    const QByteArray text = (statement + u"\ngo\n"_s).toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // The test server sends each message as it comes, without TCP_NODELAY: after a short backup the
    // final packet waits for the client's delayed acknowledgement of the previous one (about 40 ms),
    // which would be counted as client overhead. A second between the messages leaves them all acked.
    const int backupMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 1000;

    BenchProgram program;
    if (const std::optional<QString> problem = program.start())
        return fail(*problem);
    tdstest::TdsTestServer &server = program.server();
    BackupController &controller = program.controller();
    const ProgramFolder &folder = program.folder();
    ServerEventTimes events(server);
    server.setBackupDuration(backupMs);

    for (int run = 0; run < runs; ++run) {
        Pause(300ms);
        events.clear();
        const auto start = std::chrono::steady_clock::now();
        controller.runNow();
        const std::optional<FinishedRun> finished =
            WaitForRun(controller, std::chrono::milliseconds(backupMs) + 30s);
        const auto batch = events.last(kBatch);
        const auto written = events.last(kWritten);
        if (!finished || !finished->result.ok || !batch || !written)
            return fail(QStringLiteral("a backup from the window failed"));
        printOverhead("kvz", start, *batch, *written, finished->at);
    }

    const QString tsql = QStandardPaths::findExecutable(u"tsql"_s);
    if (tsql.isEmpty())
        return fail(QStringLiteral("tsql is not installed (package freetds-bin)"));
    const QString statementFile = folder.path() + u"/backup.sql"_s;
    QString previousFile;
    for (int run = 0; run < runs; ++run) {
        Pause(300ms);
        const BackupPlan plan =
            PlanBackup(u"STOK"_s, folder.backupFolder(), QDateTime::currentDateTime(),
                       [&previousFile](const QString &path) { return path == previousFile; });
        if (!writeStatement(statementFile, plan.statement))
            return fail(QStringLiteral("cannot write the statement file"));
        events.clear();
        QProcess process;
        process.setStandardInputFile(statementFile);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        const auto start = std::chrono::steady_clock::now();
        process.start(tsql, {u"-H"_s, u"127.0.0.1"_s, u"-p"_s, QString::number(server.port()), u"-U"_s,
                             u"sa"_s, u"-P"_s, u"pw"_s});
        const bool ended = process.waitForFinished(backupMs + 30000);
        const auto end = std::chrono::steady_clock::now();
        const auto batch = events.last(kBatch);
        const auto written = events.last(kWritten);
        if (!ended || process.exitCode() != 0 || !batch || !written)
            return fail(QStringLiteral("a backup sent by tsql failed"));
        printOverhead("tsql", start, *batch, *written, end);
        previousFile = plan.filePath;
    }
    return 0;
}
