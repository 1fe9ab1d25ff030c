#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>

// The ODBC connection string for the chosen driver, shared by the backup and the connection test; a
// failure when a value cannot be carried.
// FreeTDS and Microsoft's drivers read different keys and quote differently. Nothing outside this builder
// and the driver choice names them.
Result<QString> BuildConnectionStringFor(const ConnectionValues &values, const QString &driver);

inline const QString kApplicationName = QStringLiteral("ZANTO POS SQL YEDEKLEME");
