#pragma once

#include "settings/Result.h"

#include <QDateTime>
#include <QString>

// Moves a damaged history file to "<file>.bozuk-<yyyyMMddHHmmss>", kept for whoever supports the shop, with
// the journal files SQLite keeps beside it: a journal left behind would be replayed into the new file.
// Hands back where the file now lies.
Result<QString> SetAside(const QString &path, const QDateTime &when);
