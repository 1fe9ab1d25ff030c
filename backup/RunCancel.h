#pragma once

#include "platform/Odbc.h"

#include <QMutex>

// Stops a run from another thread. The run's thread registers the statement it blocks in while a batch
// executes; cancel() asks the driver to stop it there (ODBC allows SQLCancel from another thread, and
// FreeTDS sends the server an ATTENTION), or, when no batch executes yet, makes the next one not start.
class RunCancel {
public:
    // Holds the statement for cancel() while the batch runs, from construction to destruction; a
    // cancelled run's guard does not hold it, and the batch must not be sent.
    class Guard {
    public:
        Guard(RunCancel *cancel, SQLHSTMT statement);
        ~Guard();
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;

        bool cancelled() const { return !held_; }

    private:
        RunCancel *cancel_;
        bool held_ = false;
    };

    // False when the driver refused to stop the statement in flight.
    bool cancel();
    bool isCancelled() const;
    // A new run begins: nothing is cancelled.
    void reset();

private:
    mutable QMutex mutex_;
    SQLHSTMT statement_ = SQL_NULL_HSTMT;
    bool cancelled_ = false;
};
