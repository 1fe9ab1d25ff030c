#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// The few colours the windows share: the buttons' faces, the frames' titles and borders, and failures.
namespace Colours {
inline const QColor kGreen{0, 255, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kLightBlue{128, 128, 255};
} // namespace Colours

// A widget's text in red while it tells of a failure, black otherwise.
inline void ShowAsFailure(QWidget &widget, bool failure)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, failure ? Colours::kRed : QColor(Qt::black));
    widget.setPalette(palette);
}
