#include "backup/SizeText.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString SizeText(qint64 bytes)
{
    if (bytes < 0)
        return {};
    if (bytes < 1024)
        return u"%1 bayt"_s.arg(bytes);
    static const QStringList kUnits{u"KB"_s, u"MB"_s, u"GB"_s, u"TB"_s};
    double value = double(bytes) / 1024;
    qsizetype unit = 0;
    for (; value >= 1024 && unit + 1 < kUnits.size(); ++unit)
        value /= 1024;
    return QString::number(value, 'f', 1).replace(u'.', u',') + u' ' + kUnits[unit];
}
