#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>

// The five connection values of the connection-settings file, in one read; a failure when it cannot be read.
Result<ConnectionValues> LoadConnectionValues(const QString &file);

// The same, empty when the file cannot be read: for showing the stored values.
ConnectionValues StoredConnectionValues(const QString &file);

// Writes the five values in the order other tools expect ("sqladi", "port", "sqlkullanici", "sqlsifre",
// "sqldata"), in one write.
Outcome StoreConnectionValues(const ConnectionValues &values, const QString &file);
