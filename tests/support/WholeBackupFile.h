#pragma once

#include <QString>

// Whether the loopback test server finished the backup file at path: a file it was still writing, or one
// cut short or changed since, is not whole.
bool IsWholeBackupFile(const QString &path);
