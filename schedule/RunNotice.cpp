#include "schedule/RunNotice.h"

std::optional<RunNotice> NoticeAfterRun(bool previousRunFailed, const BackupResult &result)
{
    if (!result.ok && result.verification == Verification::Failed)
        return RunNotice{QStringLiteral("YEDEK DOĞRULANAMADI"), result.reason, true};
    if (!result.ok)
        return RunNotice{QStringLiteral("YEDEKLEME BAŞARISIZ"), result.reason, true};
    if (previousRunFailed)
        return RunNotice{QStringLiteral("YEDEKLEME BAŞARILI"), result.filePath, false};
    return std::nullopt;
}
