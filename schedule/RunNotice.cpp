#include "schedule/RunNotice.h"

std::optional<RunNotice> NoticeAfterRun(bool previousRunFailed, const BackupResult &result)
{
    // The retries that follow a failure would repeat it every few minutes; the window still shows each one.
    if (!result.ok && previousRunFailed)
        return std::nullopt;
    if (!result.ok && result.verification == Verification::Failed)
        return RunNotice{QStringLiteral("YEDEK DOĞRULANAMADI"), result.reason, true};
    if (!result.ok)
        return RunNotice{QStringLiteral("YEDEKLEME BAŞARISIZ"), result.reason, true};
    if (previousRunFailed)
        return RunNotice{QStringLiteral("YEDEKLEME BAŞARILI"), result.filePath, false};
    return std::nullopt;
}
