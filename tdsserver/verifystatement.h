#pragma once

#include "servermessage.h"

#include <QList>
#include <QString>
#include <optional>

namespace tdstest {

struct VerifyParse {
    std::optional<QString> path;
    QList<ServerMessage> errors; // set when path is not
};

bool IsRestore(const QString &batch);

// Reads RESTORE VERIFYONLY FROM DISK = <path> [WITH ...] as the server's parser does; the options change
// nothing here, every file this server writes carries its checksum.
VerifyParse ParseVerify(const QString &batch);

} // namespace tdstest
