#pragma once

#include "settings/Result.h"

#include <QString>

// Whether a path is taken, by a file, a folder or a link (one whose target is gone too).
bool IsTaken(const QString &path);

// A file that failed verification loses its backup's name, so that neither the clearing of old backups nor
// someone about to restore takes it for one: "<name>.DOGRULANAMADI", with "-2", "-3" ... before that suffix
// when the name is taken, never over another file. Hands back the new path. Reads and renames on the disk:
// call it on the backup worker.
Result<QString> RenameUnverified(const QString &path);
