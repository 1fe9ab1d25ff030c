#include "backup/BackupResult.h"

#include <QRegularExpression>

QString FailureReason(const ServerMessages &messages)
{
    static const QRegularExpression prefixes(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
    // The driver ranks a login's generic 18456 before the server's reason for it (4060 for a database that
    // cannot be opened), and its own "Unable to connect" after both: the most telling message comes first.
    auto rank = [](const ServerMessage &message) {
        if (message.number == kLoginFailed)
            return 1;
        return message.number == 0 ? 2 : 0;
    };
    const ServerMessage *best = nullptr;
    for (const ServerMessage &message : messages) {
        if (message.isError() && (!best || rank(message) < rank(*best)))
            best = &message;
    }
    // A connection lost midway comes as the driver's own message in an information state; the driver
    // ranks it before the server's progress messages.
    if (!best && !messages.isEmpty())
        best = &messages.front();
    return best ? QString(best->text).remove(prefixes) : QString();
}
