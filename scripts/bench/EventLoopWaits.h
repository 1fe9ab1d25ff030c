#pragma once

#include "backup/BackupResult.h"

#include <chrono>
#include <optional>

class BackupController;

// Keeps the event loop turning for the given time, so the window and its clock go on.
void Pause(std::chrono::milliseconds time);

struct FinishedRun {
    BackupResult result;
    // Stamped as the controller announces the run's end, after the window has written the last-backup label.
    std::chrono::steady_clock::time_point at;
};

// Turns the event loop until the run in flight has finished; nothing when the timeout passes.
std::optional<FinishedRun> WaitForRun(BackupController &controller, std::chrono::milliseconds timeout);
