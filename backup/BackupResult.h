#pragma once

#include "backup/ServerMessage.h"

#include <QMetaType>
#include <QString>

// What one run did, for the window to show: the file written, or why nothing was written.
struct BackupResult {
    bool ok = false;
    QString filePath;
    QString reason; // the first error, without the driver's "[...]" prefixes
    ServerMessages messages;
};

Q_DECLARE_METATYPE(BackupResult)

inline constexpr int kLoginFailed = 18456;

// The text of the error that tells the user most, without the driver's "[vendor][component]" prefixes.
QString FirstError(const ServerMessages &messages);
