#include "schedule/RunRecordOf.h"

using namespace Qt::StringLiterals;

RunRecord RunRecordOf(const BackupResult &result, RunCause cause, const QDateTime &started,
                      const QDateTime &ended)
{
    RunRecord record;
    record.cause = RunCauseName(cause);
    record.started = started;
    record.ended = ended;
    record.ok = result.ok;
    record.file = result.ok ? result.filePath : result.plannedPath;
    record.sizeBytes = result.sizeBytes;
    record.reason = result.reason;
    if (result.verification == Verification::Verified)
        record.verification = u"doğrulandı"_s;
    else if (result.verification == Verification::Failed)
        record.verification = u"doğrulanamadı"_s;
    record.removed = result.removed;
    record.clockSuspect = !result.clockWarning.isEmpty();
    if (result.secondCopy.asked) {
        record.secondCopy = result.secondCopy.problem.isEmpty() ? kSecondCopyDone : result.secondCopy.problem;
        record.secondCopyMs = result.secondCopy.elapsedMs;
        record.secondCopyBytes = result.secondCopy.bytes;
    }
    return record;
}
