#pragma once

#include <QFont>
#include <QString>

// The windows name Windows fonts; this asks for them first and then for the metric-compatible
// families a Debian desktop ships, so captions keep roughly the width they were designed for.
QFont WindowFont(const QString &family, qreal pointSize, bool bold);
