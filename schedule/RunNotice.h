#pragma once

#include "backup/BackupResult.h"

#include <optional>

// What the tray tells the user after a run: every failure, and the first success after a failure. An
// ordinary success says nothing.
struct RunNotice {
    QString title;
    QString text;
    bool failure = false;
};

std::optional<RunNotice> NoticeAfterRun(bool previousRunFailed, const BackupResult &result);
