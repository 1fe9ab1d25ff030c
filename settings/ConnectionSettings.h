#pragma once

#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QString>
#include <optional>

// Makes the connection-settings file owner-only when anyone else may use it and this user owns it; the log
// says so once, or says once that it could not. Every read and write of the file does this first.
void CloseConnectionFile(const QString &file);

// Why the file is still open to other users (another user owns it), naming it; nothing when it is not.
std::optional<QString> ConnectionFileWarning(const QString &file);

// The five connection values of the connection-settings file and the driver named there, in one read; a
// failure when it cannot be read.
Result<ConnectionValues> LoadConnectionValues(const QString &file);

// The same, empty when the file cannot be read: for showing the stored values.
ConnectionValues StoredConnectionValues(const QString &file);

// Writes the five values in the order other tools expect ("sqladi", "port", "sqlkullanici", "sqlsifre",
// "sqldata"), in one write; a driver named in the file stays as it is.
Outcome StoreConnectionValues(const ConnectionValues &values, const QString &file);
