#pragma once

#include <QLatin1String>

namespace tdstest {

// The last line of every backup file the server completes; never present in a partial one.
inline constexpr QLatin1String kBackupCompleteMarker("TDSTEST BACKUP COMPLETE");

} // namespace tdstest
