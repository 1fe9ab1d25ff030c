#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>

// The ODBC connection string for the FreeTDS driver, shared by the backup and the connection test; a
// failure when a value cannot be carried.
Result<QString> BuildConnectionString(const ConnectionValues &values);

inline const QString kOdbcDriver = QStringLiteral("FreeTDS");
inline const QString kApplicationName = QStringLiteral("ZANTO POS SQL YEDEKLEME");
