#pragma once

#include "workreply.h"

#include <optional>

namespace tdstest {

class ServerState;

// The answer to RESTORE FILELISTONLY, RESTORE DATABASE, DBCC CHECKDB and DROP DATABASE, as SQL Server
// gives it, the switches in the state's behaviour making it fail; nothing for any other batch.
std::optional<WorkReply> AnswerRestoreWork(const QString &batch, ServerState &state);

} // namespace tdstest
