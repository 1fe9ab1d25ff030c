#pragma once

#include "schedule/Clock.h"

#include <QString>
#include <memory>

class BackupController;
class KVZ;
class RestoreTestController;

// The controller with the program's own runner (the settings files read afresh at each run, each percent
// the server reports passed on as it arrives) and the main window that shows it. The window goes first,
// the controller after it; the clocks must outlive both.
struct Program {
    Program();
    Program(Program &&) noexcept;
    // The window that shows the old controller goes before it.
    Program &operator=(Program &&other) noexcept;
    ~Program();
    std::unique_ptr<BackupController> controller;
    // The controller's child: it goes with it.
    RestoreTestController *restoreTests = nullptr;
    // Declared after the controller, so destroyed before it.
    std::unique_ptr<KVZ> window;
};

Program MakeProgram(const QString &programFolder, const Clock &clock, const ElapsedClock &elapsed);
