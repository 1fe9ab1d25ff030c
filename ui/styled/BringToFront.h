#pragma once

#include <QWidget>

// Shown, restored if minimised, above the other windows and with the keyboard.
inline void BringToFront(QWidget &window)
{
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}
