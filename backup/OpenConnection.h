#pragma once

#include "backup/OdbcConnection.h"
#include "settings/ConnectionValues.h"

#include <optional>

// Opens the connection for these values; the reason, in words for the user, when it could not be opened.
std::optional<QString> OpenConnection(OdbcConnection &odbc, const ConnectionValues &values,
                                      int loginTimeoutSeconds);

// Opens and closes a connection with these values: nothing when the server accepted them, else the reason.
std::optional<QString> TestConnection(const ConnectionValues &values, int loginTimeoutSeconds);
