#pragma once

#include "settings/Result.h"

#include <QSqlError>
#include <QString>

// What the history says when it cannot do its work, in the shop owner's words. A backup never depends on
// the history: each text says so where it was a write.
namespace HistoryFailures {

// The file is not a database, or no longer a whole one: set it aside and start anew.
bool IsDamaged(const QSqlError &error);

Failure WriteFailure(const QString &path, const QSqlError &error);
Failure ReadFailure(const QString &path, const QSqlError &error);
// The damaged file could not be set aside either.
Failure SetAsideFailure(const QString &path, const QString &detail);
// The file `damage` came from now lies at `aside`, and a new one was started; `retry` is the new file's
// error, invalid when the run is in it.
Failure DamagedFailure(const QString &path, const QString &aside, const QSqlError &damage,
                       const QSqlError &retry);

} // namespace HistoryFailures
