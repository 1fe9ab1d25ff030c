#include "schedule/RestoreTestRun.h"

#include "backup/RestoreSql.h"
#include "history/RestoreTestLog.h"
#include "schedule/RestoreTestNotice.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

using namespace Qt::StringLiterals;

namespace {

void Fill(RestoreTestRecord &record, const RestoreTestResult &result, const QDateTime &ended)
{
    record.ended = ended;
    record.verdict = result.verdict;
    record.finished = true;
    record.left = result.left;
    record.allocationErrors = result.allocationErrors;
    record.consistencyErrors = result.consistencyErrors;
    record.firstErrors = result.firstErrors;
    record.reason = result.reason;
}

QString Problem(const Failure &failure)
{
    return failure.reason + u' ' + failure.detail;
}

} // namespace

RestoreTestRun RunRecordedRestoreTest(const QString &programFolder, const QString &backupPath,
                                      const std::function<QDateTime()> &now,
                                      const std::function<void(int percent)> &progress, RunCancel *cancel)
{
    const ConnectionValues values = StoredConnectionValues(SettingsFiles::ConnectionFile(programFolder));
    const RestoreTestLog log(programFolder);
    RestoreTestRecord record;
    record.started = now();
    record.backupFile = backupPath;
    record.scratchName = ScratchDatabaseName(values.database);
    RestoreTestRun run;
    // What the history cannot vouch for is never ours: a database it cannot read about is left alone.
    const Result<bool> ours = log.isOurs(record.scratchName);
    if (!ours)
        run.historyProblem = Problem(ours.failure());
    std::optional<qint64> id;
    RestoreTestOptions options;
    options.scratchIsOurs = ours && ours.value();
    options.progress = progress;
    options.cancel = cancel;
    options.beforeCreate = [&] {
        const Result<qint64> begun = log.begin(record);
        if (begun)
            id = begun.value();
        else
            run.historyProblem = Problem(begun.failure());
    };
    run.result = RunRestoreTest(values, backupPath, options);
    const Result<bool> said = log.cleanWithinWeek(record.started);
    Fill(record, run.result, now());
    Outcome written = Done{};
    if (id)
        written = log.finish(*id, record);
    else if (const Result<qint64> appended = log.append(record); !appended)
        written = appended.failure();
    if (!written)
        run.historyProblem = Problem(written.failure());
    run.notice = NoticeAfterRestoreTest(run.result, said && said.value());
    return run;
}

std::optional<RestoreTestRun> DropRecordedLeftover(const QString &programFolder,
                                                   const std::function<QDateTime()> &now)
{
    const RestoreTestLog log(programFolder);
    const Result<std::optional<RestoreTestRecord>> last = log.last();
    if (!last || !last.value() || !last.value()->left)
        return std::nullopt;
    const ConnectionValues values = StoredConnectionValues(SettingsFiles::ConnectionFile(programFolder));
    RestoreTestRecord record = *last.value();
    // Another database set up since: its scratch database is not the one the history knows.
    if (record.scratchName != ScratchDatabaseName(values.database))
        return std::nullopt;
    RestoreTestRun run;
    run.result = DropLeftoverScratch(values);
    // The test's own row again, its verdict and start kept, now saying whether the database is gone.
    record.ended = now();
    record.finished = true;
    record.left = run.result.left;
    if (const Result<qint64> written = log.append(record); !written)
        run.historyProblem = Problem(written.failure());
    if (run.result.left)
        run.notice = RunNotice{u"DENEME VERİTABANI SİLİNEMEDİ"_s, run.result.reason, true};
    return run;
}
