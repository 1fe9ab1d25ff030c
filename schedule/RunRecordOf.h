#pragma once

#include "backup/BackupResult.h"
#include "history/RunRecord.h"
#include "schedule/BackupScheduler.h"

// The history's entry for a run that has returned.
RunRecord RunRecordOf(const BackupResult &result, RunCause cause, const QDateTime &started,
                      const QDateTime &ended);
