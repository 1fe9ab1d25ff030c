#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>

// The ODBC connection string for the FreeTDS driver, shared by the backup and the connection test; a
// failure when a value cannot be carried.
// The driver's name and the keys it reads differ between systems (FreeTDS here, Microsoft's drivers on
// Windows). Nothing outside this builder names them, so another system's build changes only this pair of
// files.
Result<QString> BuildConnectionString(const ConnectionValues &values);

inline const QString kOdbcDriver = QStringLiteral("FreeTDS");
inline const QString kApplicationName = QStringLiteral("ZANTO POS SQL YEDEKLEME");
