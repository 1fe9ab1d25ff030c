#pragma once

#include "ui/styled/vkCommand.h"

#include <QFont>
#include <QRect>
#include <QString>

// Gives a control its name (the objectName tests find it by) and its place on its container.
template <typename Control> Control *Place(Control *control, const QString &name, QRect geometry)
{
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// A styled push button as the windows' layouts give it: caption, face colour and font; black caption.
inline vkCommand *PlaceCommand(QWidget *parent, const QString &name, const QString &caption,
                               const QColor &face, const QFont &font, QRect geometry)
{
    auto *command = Place(new vkCommand(parent), name, geometry);
    command->setCaption(caption);
    command->setBackColor2(face);
    command->setForeColor(Qt::black);
    command->setFont(font);
    command->setCustomStyle(0);
    return command;
}
