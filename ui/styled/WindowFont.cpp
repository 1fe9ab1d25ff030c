#include "ui/styled/WindowFont.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QStringList FallbackFamilies(const QString &family)
{
    static const QStringList kSansFamilies{u"MS Sans Serif"_s, u"Arial"_s, u"Tahoma"_s};
    QStringList families;
    if (kSansFamilies.contains(family, Qt::CaseInsensitive)) {
        families << u"Liberation Sans"_s;
    } else if (family.compare(u"Times New Roman"_s, Qt::CaseInsensitive) == 0) {
        families << u"Liberation Serif"_s;
    }
    families << u"DejaVu Sans"_s;
    return families;
}

} // namespace

QFont WindowFont(const QString &family, qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(QStringList{family} + FallbackFamilies(family));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
