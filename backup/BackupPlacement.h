#pragma once

#include "settings/BackupSettings.h"

// The folder the server is to write into, or why no backup may be sent: never a bare file name (the
// server would put it into a folder of its own) and never a path cut short (its parent folder).
Result<QString> BackupFolderFrom(const Result<BackupSettings> &settings, const QString &file);
