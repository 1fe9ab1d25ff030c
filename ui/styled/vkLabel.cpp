#include "ui/styled/vkLabel.h"

#include <QPainter>

namespace {

Qt::Alignment HorizontalAlignment(int alignment)
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

vkLabel::vkLabel(QWidget *parent) : QWidget(parent)
{
    updateOpaqueness();
}

// An opaque label paints each of its pixels, so what lies beneath it need not be painted again with it.
void vkLabel::updateOpaqueness()
{
    setAttribute(Qt::WA_OpaquePaintEvent, backStyle_ == Opaque && backColor_.alpha() == 255);
}

void vkLabel::setCaption(const QString &caption)
{
    // Timers and progress reports set captions again and again (the clock its own once a second while the
    // window is shown), often to the text they already hold: repaint only when the text changes.
    if (caption == caption_)
        return;
    caption_ = caption;
    updateGeometry();
    update();
}

void vkLabel::setBackColor(const QColor &color)
{
    backColor_ = color;
    updateOpaqueness();
    update();
}

void vkLabel::setBackStyle(int style)
{
    backStyle_ = style;
    updateOpaqueness();
    update();
}

void vkLabel::setAlignment(int alignment)
{
    alignment_ = alignment;
    update();
}

QSize vkLabel::sizeHint() const
{
    return fontMetrics().size(0, caption_);
}

void vkLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (backStyle_ == Opaque) {
        painter.fillRect(rect(), backColor_);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), HorizontalAlignment(alignment_) | Qt::AlignVCenter, caption_);
}
