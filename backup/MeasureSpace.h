#pragma once

#include "settings/Result.h"

#include <QString>

struct SpaceFigures {
    qint64 freeBytes = 0;    // free to this user on the folder's volume
    qint64 backupsBytes = 0; // the database's own backup files in the folder (OwnBackups), links left out
};

// The figures ForecastSpace goes by, for a folder (as the server sees it) visible from here; a failure
// otherwise. It reads the disk: on the backup worker.
Result<SpaceFigures> MeasureSpace(const QString &folder, const QString &database);
