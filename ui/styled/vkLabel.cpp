#include "ui/styled/vkLabel.h"

#include <QPainter>

namespace {

Qt::Alignment horizontalAlignment(int alignment)
{
    switch (alignment) {
    case vkLabel::RightJustify:
        return Qt::AlignRight;
    case vkLabel::Center:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

vkLabel::vkLabel(QWidget *parent) : QWidget(parent) {}

void vkLabel::setCaption(const QString &caption)
{
    // The clock writes its label ten times a second; repaint only when the text changes.
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateGeometry();
    update();
}

void vkLabel::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void vkLabel::setBackStyle(int style)
{
    m_backStyle = style;
    update();
}

void vkLabel::setAlignment(int alignment)
{
    m_alignment = alignment;
    update();
}

QSize vkLabel::sizeHint() const
{
    return fontMetrics().size(0, m_caption);
}

void vkLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_backStyle == Opaque) {
        painter.fillRect(rect(), m_backColor);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), horizontalAlignment(m_alignment) | Qt::AlignVCenter, m_caption);
}
