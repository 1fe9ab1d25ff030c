#include "backup/RunCancel.h"

#include "platform/Odbc.h"

RunCancel::Guard::Guard(RunCancel *cancel, SQLHSTMT statement) : cancel_(cancel)
{
    if (!cancel_) {
        held_ = true;
        return;
    }
    QMutexLocker lock(&cancel_->mutex_);
    held_ = !cancel_->cancelled_;
    if (held_)
        cancel_->statement_ = statement;
}

RunCancel::Guard::~Guard()
{
    if (!cancel_ || !held_)
        return;
    // Taken after any cancel() in progress has returned, so the statement is never freed under it.
    QMutexLocker lock(&cancel_->mutex_);
    cancel_->statement_ = SQL_NULL_HSTMT;
}

bool RunCancel::cancel()
{
    QMutexLocker lock(&mutex_);
    cancelled_ = true;
    return statement_ == SQL_NULL_HSTMT || SQL_SUCCEEDED(SQLCancel(statement_));
}

bool RunCancel::isCancelled() const
{
    QMutexLocker lock(&mutex_);
    return cancelled_;
}

void RunCancel::reset()
{
    QMutexLocker lock(&mutex_);
    cancelled_ = false;
}
