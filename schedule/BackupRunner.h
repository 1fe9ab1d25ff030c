#pragma once

#include "backup/BackupJob.h"
#include "schedule/Clock.h"

#include <QDateTime>
#include <functional>
#include <memory>

class RunCancel;

// The run the program makes, on the backup worker: the settings files of the program folder read afresh,
// the backup (and its verification when asked for), then the old backups cleared when asked for and the
// room left on the backup disk. A name made in the last 48 hours (this run of the program, or an earlier
// one as the history remembers), or one taken by a file in the folder where this machine can see it, is
// never used again. Nothing is removed, and the result says so, while the wall clock disagrees with the
// runs before it or with elapsed time. After a good run, the second copy is made (CopyToSecondFolder)
// before the first folder's old backups go. `elapsed` must outlive the runner. `progress` hears the
// server's percent on the worker thread, `copyProgress` the second copy's; `cancel` stops a run or a copy.
BackupJob::Runner MakeBackupRunner(const QString &programFolder, std::function<QDateTime()> now,
                                   const ElapsedClock &elapsed,
                                   std::function<void(int percent)> progress = {},
                                   std::shared_ptr<RunCancel> cancel = {},
                                   std::function<void(int percent)> copyProgress = {});
