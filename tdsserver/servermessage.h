#pragma once

#include <QString>

namespace tdstest {

// Severities 0 to 10 are informational and travel as INFO.
inline constexpr quint8 kHighestInfoSeverity = 10;

// Severity of the statement errors a BACKUP or RESTORE can end in.
inline constexpr quint8 kErrorSeverity = 16;

// The number of the "N percent processed." message.
inline constexpr qint32 kPercentProcessed = 3211;

// The operating system's errors as the server quotes them, number first.
inline constexpr QStringView kFileNotFound = u"2(The system cannot find the file specified.)";
inline constexpr QStringView kPathNotFound = u"3(The system cannot find the path specified.)";
inline constexpr QStringView kAccessDenied = u"5(Access is denied.)";

// An INFO or ERROR token's content.
struct ServerMessage {
    qint32 number = 0;
    quint8 state = 1;
    quint8 severity = 0;
    QString text;
};

// The server tells creating a backup file (state 1) from opening one to read (state 2).
inline ServerMessage CannotOpenDevice(const QString &path, QStringView osError, quint8 state)
{
    return {3201, state, kErrorSeverity,
            QStringLiteral("Cannot open backup device '%1'. Operating system error %2.").arg(path, osError)};
}

// The closing error of every BACKUP that fails.
inline ServerMessage BackupTerminated()
{
    return {3013, 1, kErrorSeverity, QStringLiteral("BACKUP DATABASE is terminating abnormally.")};
}

// The closing error of every RESTORE VERIFYONLY that fails.
inline ServerMessage VerifyTerminated()
{
    return {3013, 1, kErrorSeverity, QStringLiteral("VERIFY DATABASE is terminating abnormally.")};
}

} // namespace tdstest
