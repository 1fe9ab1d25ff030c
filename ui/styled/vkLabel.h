#pragma once

#include <QColor>
#include <QWidget>

// Static text; backStyle and alignment keep the numeric codes of the original library.
class vkLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(int backStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment)

public:
    enum BackStyle { Transparent = 0, Opaque = 1 };
    enum Alignment { LeftJustify = 0, RightJustify = 1, Center = 2 };

    explicit vkLabel(QWidget *parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString &caption);
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor &color);
    int backStyle() const { return backStyle_; }
    void setBackStyle(int style);
    int alignment() const { return alignment_; }
    void setAlignment(int alignment);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateOpaqueness();

    QString caption_;
    QColor backColor_{236, 233, 216};
    int backStyle_ = Opaque;
    int alignment_ = LeftJustify;
};
