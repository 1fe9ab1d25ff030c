#include "ui/styled/vkFrame.h"

#include "ui/styled/Twips.h"

#include <QPainter>

namespace {

constexpr int CaptionMargin = 6;
constexpr int MinimumBodyHeight = 40;

} // namespace

vkFrame::vkFrame(QWidget *parent) : QWidget(parent) {}

void vkFrame::setCaption(const QString &caption)
{
    m_caption = caption;
    updateGeometry();
    update();
}

void vkFrame::setTitleColor1(const QColor &color)
{
    m_titleColor1 = color;
    update();
}

void vkFrame::setTitleHeight(int twips)
{
    m_titleHeight = twips;
    updateGeometry();
    update();
}

void vkFrame::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

QSize vkFrame::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(m_caption) + 2 * CaptionMargin,
                 twipsToPixels(m_titleHeight) + MinimumBodyHeight);
}

void vkFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect titleBar(0, 0, width(), twipsToPixels(m_titleHeight));
    painter.fillRect(titleBar, m_titleColor1);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleBar.adjusted(CaptionMargin, 0, -CaptionMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     m_caption);
    painter.setPen(m_borderColor);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
