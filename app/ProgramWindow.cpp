#include "app/ProgramWindow.h"

#include "app/BackupController.h"
#include "app/KVZ.h"
#include "app/RestoreTestController.h"
#include "backup/RunCancel.h"
#include "backup/RunProgress.h"
#include "schedule/BackupRunner.h"

Program::Program() = default;
Program::Program(Program &&) noexcept = default;

Program::~Program() = default;

Program &Program::operator=(Program &&other) noexcept
{
    window.reset();
    controller = std::move(other.controller);
    restoreTests = std::exchange(other.restoreTests, nullptr);
    window = std::move(other.window);
    return *this;
}

Program MakeProgram(const QString &programFolder, const Clock &clock, const ElapsedClock &elapsed)
{
    // Reported on the backup worker, it reaches the controller queued. The controller owns it, and waits
    // for the run in flight before its children go.
    auto *progress = new RunProgress;
    auto cancel = std::make_shared<RunCancel>();
    Program program;
    program.controller =
        std::make_unique<BackupController>(programFolder, clock, elapsed,
                                           MakeBackupRunner(
                                               programFolder, [&clock] { return clock.now(); }, elapsed,
                                               [progress](int percent) { progress->report(percent); }, cancel,
                                               [progress](int percent) { progress->reportCopy(percent); }),
                                           cancel);
    progress->setParent(program.controller.get());
    QObject::connect(progress, &RunProgress::changed, program.controller.get(),
                     &BackupController::reportProgress);
    QObject::connect(progress, &RunProgress::copying, program.controller.get(),
                     &BackupController::reportCopyProgress);
    program.window = std::make_unique<KVZ>(*program.controller);
    program.restoreTests = new RestoreTestController(*program.controller, elapsed);
    program.window->attachRestoreTests(*program.restoreTests);
    return program;
}
