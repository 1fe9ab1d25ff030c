#pragma once

#include "backup/RestoreTest.h"
#include "schedule/RunNotice.h"

#include <optional>

// What the window and the tray say after a restore test: a clean one only when no clean test was said in
// the week before (`cleanSaidThisWeek`), every other ending always, in red, with what to do.
std::optional<RunNotice> NoticeAfterRestoreTest(const RestoreTestResult &result, bool cleanSaidThisWeek);
