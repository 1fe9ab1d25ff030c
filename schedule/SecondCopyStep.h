#pragma once

#include "backup/BackupResult.h"
#include "backup/CopyAndCheck.h"
#include "settings/BackupSettings.h"

#include <QDateTime>
#include <QStringList>

class RunHistory;

// "İKİNCİ KOPYA YERİ", after a run that succeeded (and was verified when asked): this run's backup and
// those the second folder missed are copied there and checked (MakeSecondCopies), and `result` records how
// it went, each copy and each old copy removed there among its `removed` lines. It needs the backup folder
// as this machine sees it; one it cannot see fails the copy, said in the result. Nothing while the option is
// empty. On the backup worker.
void CopyToSecondFolder(BackupResult &result, const BackupSettings &settings, const QString &database,
                        const QDateTime &now, bool clockDoubted, const RunHistory &history,
                        const CopyHooks &hooks);
