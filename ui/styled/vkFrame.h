#pragma once

#include <QColor>
#include <QWidget>

// Titled panel; the controls placed on it are its children, positioned from its top-left corner
// (the title bar included), so they move, show and hide with it.
class vkFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor titleColor1 READ titleColor1 WRITE setTitleColor1)
    Q_PROPERTY(int titleHeight READ titleHeight WRITE setTitleHeight)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)

public:
    explicit vkFrame(QWidget *parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString &caption);
    QColor titleColor1() const { return titleColor1_; }
    void setTitleColor1(const QColor &color);
    // In twips, like the other measures of the original forms.
    int titleHeight() const { return titleHeight_; }
    void setTitleHeight(int twips);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption_;
    QColor titleColor1_{128, 128, 255};
    int titleHeight_ = 375;
    QColor borderColor_{Qt::darkGray};
};
