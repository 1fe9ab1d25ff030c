#pragma once

#include "history/RestoreTestLog.h"

#include <QString>
#include <optional>

// The history window's line about the last restore test: when, and how it ended, in capitals as the
// window's other lines; its reason and first errors for the tooltip. Empty before the first test.
struct RestoreTestLine {
    QString text;
    QString detail;
    bool failure = false;
};

RestoreTestLine RestoreTestLineOf(const std::optional<RestoreTestRecord> &last);
