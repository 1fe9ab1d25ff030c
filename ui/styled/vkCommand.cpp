#include "ui/styled/vkCommand.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>

namespace {

constexpr int kEscapeCode = 27;
constexpr int kEnterCode = 13;
constexpr int kCaptionPadding = 12;
// Default button size of the original forms (1215 x 375 twips).
constexpr QSize kMinimumHint{81, 25};

int KeyAsciiOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return kEscapeCode;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnterCode;
    default:
        return event->text().isEmpty() ? 0 : event->text().front().unicode();
    }
}

} // namespace

vkCommand::vkCommand(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void vkCommand::setBackColor2(const QColor &color)
{
    backColor2_ = color;
    update();
}

void vkCommand::setForeColor(const QColor &color)
{
    foreColor_ = color;
    update();
}

QSize vkCommand::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return caption.grownBy(QMargins(kCaptionPadding, kCaptionPadding / 2, kCaptionPadding, kCaptionPadding / 2))
        .expandedTo(kMinimumHint);
}

void vkCommand::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = isDown() ? backColor2_.darker(115) : backColor2_;
    // The middle band stays the plain face colour; only the edges get the light and shade.
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, face.lighter(140));
    gradient.setColorAt(0.3, face);
    gradient.setColorAt(0.7, face);
    gradient.setColorAt(1.0, face.darker(125));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(face.darker(200));
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(isEnabled() ? foreColor_ : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        painter.setPen(QPen(foreColor_, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void vkCommand::keyPressEvent(QKeyEvent *event)
{
    int keyAscii = KeyAsciiOf(event);
    if (keyAscii != 0) {
        const QPointer<vkCommand> alive(this);
        emit keyPress(keyAscii);
        if (!alive) {
            return;
        }
        if (keyAscii == 0) {
            event->accept();
            return;
        }
    }
    if (keyAscii == kEnterCode && !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

bool vkCommand::hitButton(const QPoint &pos) const
{
    return isVisible() && QAbstractButton::hitButton(pos);
}
