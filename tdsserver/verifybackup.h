#pragma once

#include "servermessage.h"

#include <QList>

namespace tdstest {

// The server's answer to RESTORE VERIFYONLY of the file at path: 3262 when it is whole, else the errors.
QList<ServerMessage> VerifyBackup(const QString &path);

} // namespace tdstest
