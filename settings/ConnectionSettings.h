#pragma once

#include "backup/ConnectionValues.h"

#include <QString>

// The five connection values of the connection-settings file.
ConnectionValues StoredConnectionValues(const QString &file);

// Writes the five values in the order other tools expect ("sqladi", "port", "sqlkullanici", "sqlsifre",
// "sqldata"); true only when every write took effect.
bool StoreConnectionValues(const ConnectionValues &values, const QString &file);
