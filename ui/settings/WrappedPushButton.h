#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines when it is wider than the button, as the
// captions of the original window's plain buttons do.
class WrappedPushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
