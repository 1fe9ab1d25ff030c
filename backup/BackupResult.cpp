#include "backup/BackupResult.h"

#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

QString FailureReason(const ServerMessages &messages)
{
    static const QRegularExpression kPrefixes(u"^(\\[[^\\]]*\\])+\\s*"_s);
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
    // A connection lost midway comes as the driver's own message (numbered from 20000) in an information
    // state, before or after the server's progress messages.
    constexpr int kDriverOwn = 20000;
    if (!best) {
        const auto own = std::find_if(messages.cbegin(), messages.cend(), [](const ServerMessage &message) {
            return message.number >= kDriverOwn;
        });
        best = own != messages.cend() ? &*own : messages.isEmpty() ? nullptr : &messages.front();
    }
    return best ? QString(best->text).remove(kPrefixes) : QString();
}
