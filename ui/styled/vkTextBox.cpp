#include "ui/styled/vkTextBox.h"

#include <QPainter>

namespace {

constexpr qreal kLegendScale = 0.8;

} // namespace

vkTextBox::vkTextBox(QWidget *parent) : QWidget(parent), edit_(new QLineEdit(this))
{
    legendFont_.setPointSizeF(font().pointSizeF() * kLegendScale);
    setFocusPolicy(edit_->focusPolicy());
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::textChanged, this, &vkTextBox::textChanged);
    placeEdit();
}

void vkTextBox::setLegend(const QString &legend)
{
    legend_ = legend;
    placeEdit();
    updateGeometry();
    update();
}

void vkTextBox::setLegendFont(const QFont &font)
{
    legendFont_ = font;
    placeEdit();
    updateGeometry();
    update();
}

void vkTextBox::setLegendForeColor(const QColor &color)
{
    legendForeColor_ = color;
    update();
}

QSize vkTextBox::sizeHint() const
{
    return edit_->sizeHint() + QSize(0, legendHeight());
}

void vkTextBox::paintEvent(QPaintEvent *)
{
    if (legend_.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setFont(legendFont_);
    painter.setPen(legendForeColor_);
    painter.drawText(QRect(0, 0, width(), legendHeight()), Qt::AlignLeft | Qt::AlignVCenter, legend_);
}

void vkTextBox::resizeEvent(QResizeEvent *)
{
    placeEdit();
}

int vkTextBox::legendHeight() const
{
    return legend_.isEmpty() ? 0 : QFontMetrics(legendFont_).height();
}

void vkTextBox::placeEdit()
{
    edit_->setGeometry(0, legendHeight(), width(), height() - legendHeight());
}
