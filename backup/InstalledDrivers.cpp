#include "backup/OdbcDriver.h"
#include "backup/OdbcHandle.h"
#include "platform/Odbc.h"

QStringList InstalledDrivers()
{
    QStringList drivers;
    const OdbcHandle env(SQL_HANDLE_ENV, nullptr);
    if (!env || !SQL_SUCCEEDED(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION,
                                             reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        return drivers;
    SQLWCHAR name[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    // A name longer than the buffer comes back cut short (success with information); no driver's is.
    while (SQL_SUCCEEDED(SQLDriversW(env.get(), direction, name, SQLSMALLINT(std::size(name)), &nameLength,
                                     nullptr, 0, &attributesLength))) {
        drivers << QString::fromUtf16(reinterpret_cast<const char16_t *>(name),
                                      qMin<qsizetype>(nameLength, qsizetype(std::size(name)) - 1));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}
