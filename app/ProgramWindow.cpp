#include "app/ProgramWindow.h"

#include "app/KVZ.h"
#include "backup/RunCancel.h"
#include "backup/RunProgress.h"
#include "schedule/BackupRunner.h"

std::unique_ptr<KVZ> MakeProgramWindow(const QString &programFolder, const Clock &clock,
                                       const ElapsedClock &elapsed)
{
    // Reported on the backup worker, it reaches the window queued. The window owns it, and waits for the
    // run in flight before its children go.
    auto *progress = new RunProgress;
    auto cancel = std::make_shared<RunCancel>();
    auto window = std::make_unique<KVZ>(programFolder, clock, elapsed,
                                        MakeBackupRunner(
                                            programFolder, [&clock] { return clock.now(); }, elapsed,
                                            [progress](int percent) { progress->report(percent); }, cancel),
                                        cancel);
    progress->setParent(window.get());
    QObject::connect(progress, &RunProgress::changed, window.get(), &KVZ::showProgress);
    return window;
}
