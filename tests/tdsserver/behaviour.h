#pragma once

namespace tdstest {

// The switches a test flips to make the server misbehave on purpose.
struct Behaviour {
    int backupDurationMs = 50;
    int loginDelayMs = 0;
    bool silent = false;
    bool dropDuringBackup = false;
    bool errorAfterProgress = false;
    bool moreResultsOnDone = false;
};

} // namespace tdstest
