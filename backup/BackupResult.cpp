#include "backup/BackupResult.h"

#include <QRegularExpression>

QString FirstError(const ServerMessages &messages)
{
    static const QRegularExpression prefixes(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
    for (const ServerMessage &message : messages) {
        if (message.isError())
            return QString(message.text).remove(prefixes);
    }
    return {};
}
