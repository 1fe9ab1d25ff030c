#pragma once

#include "backup/OdbcConnection.h"
#include "settings/ConnectionValues.h"
#include "settings/Result.h"

// Opens the connection for these values and names the driver that made it; when it cannot, a reason in
// words for the user and the server's own messages as the detail.
Result<QString> OpenConnection(OdbcConnection &odbc, const ConnectionValues &values, int loginTimeoutSeconds);

// Opens and closes a connection with these values, as typed in the settings window; the driver that made it.
Result<QString> TestConnection(const ConnectionValues &values, int loginTimeoutSeconds);

// The server's messages, one a line, for whoever supports the shop.
QString MessagesDetail(const ServerMessages &messages);
