#pragma once

#include "backup/BackupResult.h"

#include <optional>

// What the tray tells the user after a run: the first failure of a series, and the first success after it.
// An ordinary success, and a failure after a failure, say nothing.
struct RunNotice {
    QString title;
    QString text;
    bool failure = false;
};

std::optional<RunNotice> NoticeAfterRun(bool previousRunFailed, const BackupResult &result);
