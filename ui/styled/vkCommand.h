#pragma once

#include <QAbstractButton>
#include <QColor>

// Push button painted with a gradient face in backColor2 and a centred caption in foreColor.
class vkCommand : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor backColor2 READ backColor2 WRITE setBackColor2)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(int customStyle READ customStyle WRITE setCustomStyle)

public:
    explicit vkCommand(QWidget *parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    QColor backColor2() const { return backColor2_; }
    void setBackColor2(const QColor &color);
    QColor foreColor() const { return foreColor_; }
    void setForeColor(const QColor &color);
    int customStyle() const { return customStyle_; }
    void setCustomStyle(int style) { customStyle_ = style; }

    QSize sizeHint() const override;

signals:
    // The handler may rewrite keyAscii; 0 swallows the key, as the original KeyPress event allowed.
    void keyPress(int &keyAscii);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QColor backColor2_{236, 233, 216};
    QColor foreColor_{Qt::black};
    int customStyle_ = 0;
};
