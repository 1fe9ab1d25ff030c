#include "schedule/RunNotice.h"

using namespace Qt::StringLiterals;

std::optional<RunNotice> NoticeAfterRun(bool previousRunFailed, const BackupResult &result)
{
    // The retries that follow a failure would repeat it every few minutes; the window still shows each one.
    if (!result.ok && previousRunFailed)
        return std::nullopt;
    if (!result.ok && result.verification == Verification::Failed)
        return RunNotice{u"YEDEK DOĞRULANAMADI"_s, result.reason, true};
    if (!result.ok)
        return RunNotice{u"YEDEKLEME BAŞARISIZ"_s, result.reason, true};
    if (previousRunFailed)
        return RunNotice{u"YEDEKLEME BAŞARILI"_s, result.filePath, false};
    return std::nullopt;
}
