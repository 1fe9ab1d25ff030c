#pragma once

#include "servermessage.h"
#include "tokenwriter.h"

#include <QList>

namespace tdstest {

// The server's whole answer to a batch beyond BACKUP and RESTORE VERIFYONLY.
struct WorkReply {
    QList<ServerMessage> progress; // each flushed in a packet of its own before the rest
    QList<Column> columns;         // none: no result set
    QList<QList<Cell>> rows;
    QList<ServerMessage> messages;
    bool failed = false;
};

} // namespace tdstest
