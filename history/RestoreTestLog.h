#pragma once

#include "backup/RestoreTest.h"
#include "settings/Result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// One restore test as the history keeps it.
struct RestoreTestRecord {
    QDateTime started;
    QDateTime ended;
    QString backupFile;
    QString scratchName;
    RestoreVerdict verdict = RestoreVerdict::Skipped;
    bool finished = true; // false while the scratch database is being made: a crash leaves it recorded
    bool left = false;    // the scratch database is still on the server, and it is ours
    int allocationErrors = 0;
    int consistencyErrors = 0;
    QStringList firstErrors;
    QString reason;
};

// The record of restore tests: a table of its own, "restore_tests", in the run history's file, made where
// it is missing as the runs' table is. Every call opens and closes its own connection, off the
// user-interface thread.
class RestoreTestLog {
public:
    explicit RestoreTestLog(const QString &programFolder);

    // The test is about to create the scratch database: from now on it is recorded as ours, until finish.
    Result<qint64> begin(const RestoreTestRecord &record) const;
    Outcome finish(qint64 id, const RestoreTestRecord &record) const;
    Result<qint64> append(const RestoreTestRecord &record) const;

    // Nothing before the first test.
    Result<std::optional<RestoreTestRecord>> last() const;
    // Whether a database of this name on the server is this program's leftover: the newest test that made
    // it has not recorded it gone.
    Result<bool> isOurs(const QString &scratchName) const;
    // Whether retention must keep every backup: the newest test that checked a database found damage.
    Result<bool> retentionPaused() const;
    // Whether a clean test started in the 7 days before `before`: its success was said already.
    Result<bool> cleanWithinWeek(const QDateTime &before) const;

private:
    Result<qint64> write(const RestoreTestRecord &record, std::optional<qint64> id) const;
    Result<std::optional<RestoreTestRecord>> newest(const QString &where, const QVariantList &values) const;

    QString path_;
};
