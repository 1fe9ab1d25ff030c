#pragma once

#include "settings/ConnectionValues.h"

#include <QString>

// The ODBC connection string for the FreeTDS driver, shared by the backup and the connection test.
struct ConnectionString {
    QString text;    // empty when `problem` is set
    QString problem; // why the values cannot be carried, in the user's language
};

ConnectionString BuildConnectionString(const ConnectionValues &values);

inline const QString kOdbcDriver = QStringLiteral("FreeTDS");
inline const QString kApplicationName = QStringLiteral("ZANTO POS SQL YEDEKLEME");
