#include "ui/styled/vkTextBox.h"

#include <QPainter>

namespace {

constexpr qreal LegendScale = 0.8;

} // namespace

vkTextBox::vkTextBox(QWidget *parent) : QWidget(parent), m_edit(new QLineEdit(this))
{
    m_legendFont.setPointSizeF(font().pointSizeF() * LegendScale);
    setFocusPolicy(m_edit->focusPolicy());
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &vkTextBox::textChanged);
    placeEdit();
}

void vkTextBox::setLegend(const QString &legend)
{
    m_legend = legend;
    placeEdit();
    updateGeometry();
    update();
}

void vkTextBox::setLegendFont(const QFont &font)
{
    m_legendFont = font;
    placeEdit();
    updateGeometry();
    update();
}

void vkTextBox::setLegendForeColor(const QColor &color)
{
    m_legendForeColor = color;
    update();
}

QSize vkTextBox::sizeHint() const
{
    return m_edit->sizeHint() + QSize(0, legendHeight());
}

void vkTextBox::paintEvent(QPaintEvent *)
{
    if (m_legend.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setFont(m_legendFont);
    painter.setPen(m_legendForeColor);
    painter.drawText(QRect(0, 0, width(), legendHeight()), Qt::AlignLeft | Qt::AlignVCenter, m_legend);
}

void vkTextBox::resizeEvent(QResizeEvent *)
{
    placeEdit();
}

int vkTextBox::legendHeight() const
{
    return m_legend.isEmpty() ? 0 : QFontMetrics(m_legendFont).height();
}

void vkTextBox::placeEdit()
{
    m_edit->setGeometry(0, legendHeight(), width(), height() - legendHeight());
}
