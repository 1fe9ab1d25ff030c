#include "utf16le.h"

#include <QtEndian>

namespace tdstest {

QString Utf16LeText(const QByteArray &bytes, qsizetype from, qsizetype chars)
{
    QString text;
    for (qsizetype i = 0; i < chars && from + 2 * i + 1 < bytes.size(); ++i)
        text.append(QChar(qFromLittleEndian<quint16>(bytes.constData() + from + 2 * i)));
    return text;
}

} // namespace tdstest
