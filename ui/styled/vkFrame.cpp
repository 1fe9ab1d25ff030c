#include "ui/styled/vkFrame.h"

#include "ui/styled/Twips.h"

#include <QPainter>

namespace {

constexpr int kCaptionMargin = 6;
constexpr int kMinimumBodyHeight = 40;

} // namespace

vkFrame::vkFrame(QWidget *parent) : QWidget(parent) {}

void vkFrame::setCaption(const QString &caption)
{
    caption_ = caption;
    updateGeometry();
    update();
}

void vkFrame::setTitleColor1(const QColor &color)
{
    titleColor1_ = color;
    update();
}

void vkFrame::setTitleHeight(int twips)
{
    titleHeight_ = twips;
    updateGeometry();
    update();
}

void vkFrame::setBorderColor(const QColor &color)
{
    borderColor_ = color;
    update();
}

QSize vkFrame::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(caption_) + 2 * kCaptionMargin,
                 TwipsToPixels(titleHeight_) + kMinimumBodyHeight);
}

void vkFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect titleBar(0, 0, width(), TwipsToPixels(titleHeight_));
    painter.fillRect(titleBar, titleColor1_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleBar.adjusted(kCaptionMargin, 0, -kCaptionMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     caption_);
    painter.setPen(borderColor_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
