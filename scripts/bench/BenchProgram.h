#pragma once

#include "app/ProgramWindow.h"
#include "schedule/Clock.h"
#include "support/ProgramFolder.h"
#include "tdstestserver.h"

#include <QString>
#include <memory>
#include <optional>

// The controller and the main window as the program sets them up, in a program folder whose settings point at
// a loopback test server in this process (login sa:pw, database STOK), with a backup folder of its own. Needs
// a QApplication. As the program itself, unless told to leave the server's percents unshown.
class BenchProgram {
public:
    enum class Progress { Shown, NotShown };
    explicit BenchProgram(Progress progress = Progress::Shown);
    ~BenchProgram();

    // Starts the server and the window, and waits for the start-up run (which loads the driver); what
    // went wrong, if anything.
    std::optional<QString> start();

    tdstest::TdsTestServer &server() { return server_; }
    const ProgramFolder &folder() const { return folder_; }
    KVZ &window() { return *program_.window; }
    BackupController &controller() { return *program_.controller; }

private:
    tdstest::TdsTestServer server_;
    ProgramFolder folder_;
    SystemClock clock_;
    SystemElapsedClock elapsed_;
    Progress progress_;
    Program program_;
};
