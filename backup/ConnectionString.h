#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>

// The ODBC connection string, shared by the backup and the connection test; a failure when a value
// cannot be carried or no driver for SQL Server is installed.
// FreeTDS and Microsoft's drivers read different keys and quote differently. Nothing outside this builder
// and the driver choice names them.
Result<QString> BuildConnectionString(const ConnectionValues &values);

// The same for a driver already chosen.
Result<QString> BuildConnectionStringFor(const ConnectionValues &values, const QString &driver);

inline const QString kApplicationName = QStringLiteral("ZANTO POS SQL YEDEKLEME");
