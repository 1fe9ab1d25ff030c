#pragma once

#include "backup/BackupResult.h"
#include "schedule/RunNotice.h"

#include <QDate>
#include <QList>

// The standing problems a run reports again and again are told sparingly, so that they are still read: a
// clock that looks wrong once, until its warning changes or a run comes without it; old backups that could
// not be removed at most once a day.
class NoticeGate {
public:
    // `day`: the wall-clock date the run ended on.
    QList<RunNotice> afterRun(const BackupResult &result, const QDate &day);

private:
    QString clockTold_;
    QDate retentionToldOn_;
};
