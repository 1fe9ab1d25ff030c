#pragma once

#include "backup/BackupJob.h"
#include "backup/RunCancel.h"

#include <QSemaphore>
#include <atomic>
#include <memory>

// Stands in for the database: counts runs and, when asked, holds each one until the test lets it go or
// the run is cancelled, as the driver then fails the statement.
struct FakeBackup {
    std::atomic<int> runs{0};
    bool hold = false;
    QSemaphore entered;
    QSemaphore release;
    BackupResult result{true, QStringLiteral("/y/20261207100000-STOK.bak"), {}, {}};
    std::shared_ptr<RunCancel> cancel = std::make_shared<RunCancel>();

    BackupJob::Runner runner()
    {
        return [this] {
            ++runs;
            entered.release();
            while (hold && !release.tryAcquire(1, 10)) {
                if (cancel->isCancelled())
                    return BackupResult{false, {}, QStringLiteral("Operation canceled"), {}};
            }
            return result;
        };
    }
};
