#pragma once

#include "servermessage.h"

#include <QList>

namespace tdstest {

// The server's answer to RESTORE VERIFYONLY of the file at path: 3262 when it is whole, else the errors.
// `readDenied`: the file cannot be opened to read, whatever it holds.
QList<ServerMessage> VerifyBackup(const QString &path, bool readDenied = false);

} // namespace tdstest
