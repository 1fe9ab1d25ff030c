#pragma once

#include <QDateTime>
#include <QString>

// The eight-character HH:MM:SS text that the labels show and the schedule cuts by position, whatever
// the locale says.
inline QString TimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}
