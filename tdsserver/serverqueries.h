#pragma once

#include "workreply.h"

#include <optional>

namespace tdstest {

class ServerState;

// The answer to the few SELECTs a restore test asks before it starts: SERVERPROPERTY's default data and
// log folders, sys.dm_os_volume_stats and DB_ID(N'name'); nothing for any other batch.
std::optional<WorkReply> AnswerQuery(const QString &batch, const ServerState &state);

} // namespace tdstest
