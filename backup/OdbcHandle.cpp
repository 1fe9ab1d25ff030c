#include "backup/OdbcHandle.h"

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type)
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_)))
        handle_ = SQL_NULL_HANDLE;
}

OdbcHandle::~OdbcHandle()
{
    if (!handle_)
        return;
    if (type_ == SQL_HANDLE_DBC)
        SQLDisconnect(handle_);
    SQLFreeHandle(type_, handle_);
}
