#pragma once

#include "backup/BackupResult.h"
#include "schedule/RunNotice.h"

#include <QDate>
#include <QList>

// The standing problems a run reports again and again are told sparingly, so that they are still read: a
// clock that looks wrong once, until a run comes without the doubt (its warning names the time of each run,
// so its text changes every run); old backups that could not be removed at most once a day; a second copy
// that could not be made once, until one is made again.
class NoticeGate {
public:
    // `day`: the wall-clock date the run ended on.
    QList<RunNotice> afterRun(const BackupResult &result, const QDate &day);

private:
    bool clockTold_ = false;
    QDate retentionToldOn_;
    bool secondCopyFailureTold_ = false;
};
