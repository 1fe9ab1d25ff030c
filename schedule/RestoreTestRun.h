#pragma once

#include "backup/RestoreTest.h"
#include "schedule/RunNotice.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class RunCancel;

// A restore test as the program makes it, on a worker: the connection file read afresh, the history
// asked whether a scratch database left on the server is ours, the test recorded before the scratch
// database is made and again when it ends.
struct RestoreTestRun {
    RestoreTestResult result;
    std::optional<RunNotice> notice;
    QString historyProblem; // why the history could not record it; empty when it did
};

RestoreTestRun RunRecordedRestoreTest(const QString &programFolder, const QString &backupPath,
                                      const std::function<QDateTime()> &now,
                                      const std::function<void(int percent)> &progress = {},
                                      RunCancel *cancel = nullptr);

// At the start: the scratch database a test before left behind, as the history records it, is dropped;
// nothing when the history records none.
std::optional<RestoreTestRun> DropRecordedLeftover(const QString &programFolder,
                                                   const std::function<QDateTime()> &now);
