#include "ui/styled/vkCommand.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>

namespace {

constexpr int EscapeCode = 27;
constexpr int EnterCode = 13;
constexpr int CaptionPadding = 12;
// Default button size of the original forms (1215 x 375 twips).
constexpr QSize MinimumHint{81, 25};

int keyAsciiOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return EscapeCode;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return EnterCode;
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
    m_backColor2 = color;
    update();
}

void vkCommand::setForeColor(const QColor &color)
{
    m_foreColor = color;
    update();
}

QSize vkCommand::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return caption.grownBy(QMargins(CaptionPadding, CaptionPadding / 2, CaptionPadding, CaptionPadding / 2))
        .expandedTo(MinimumHint);
}

void vkCommand::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = isDown() ? m_backColor2.darker(115) : m_backColor2;
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
    painter.setPen(isEnabled() ? m_foreColor : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        painter.setPen(QPen(m_foreColor, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void vkCommand::keyPressEvent(QKeyEvent *event)
{
    int keyAscii = keyAsciiOf(event);
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
    if (keyAscii == EnterCode && !event->isAutoRepeat()) {
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
