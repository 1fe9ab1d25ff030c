#pragma once

#include "backup/ServerMessage.h"

#include <QMetaType>
#include <QString>

// What one run did, for the window to show: the file written, or why nothing was written.
struct BackupResult {
    bool ok = false;
    QString filePath; // the file written; empty when nothing was
    QString reason;   // the first error, without the driver's "[...]" prefixes
    ServerMessages messages;
    QString plannedPath = {}; // the file the statement named, whatever the outcome; empty when none was sent
};

Q_DECLARE_METATYPE(BackupResult)

inline constexpr int kLoginFailed = 18456;

// Why an operation failed: the error that tells the user most (or, with no error among them, the last
// message), without the driver's "[vendor][component]" prefixes.
QString FailureReason(const ServerMessages &messages);
