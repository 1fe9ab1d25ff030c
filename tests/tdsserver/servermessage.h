#pragma once

#include <QString>

namespace tdstest {

// Severity of the statement errors a BACKUP can end in.
inline constexpr quint8 ErrorSeverity = 16;

// An INFO or ERROR token's content; severities above 10 travel as ERROR.
struct ServerMessage {
    qint32 number = 0;
    quint8 state = 1;
    quint8 severity = 0;
    QString text;
};

// The closing error of every BACKUP that fails.
inline ServerMessage backupTerminated()
{
    return {3013, 1, ErrorSeverity, QStringLiteral("BACKUP DATABASE is terminating abnormally.")};
}

} // namespace tdstest
