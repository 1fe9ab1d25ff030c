#pragma once

#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QWidget>

// One-line text entry with an optional legend drawn above the edit in its own font and colour.
class vkTextBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QString legend READ legend WRITE setLegend)
    Q_PROPERTY(QFont legendFont READ legendFont WRITE setLegendFont)
    Q_PROPERTY(QColor legendForeColor READ legendForeColor WRITE setLegendForeColor)
    Q_PROPERTY(QLineEdit::EchoMode echoMode READ echoMode WRITE setEchoMode)

public:
    explicit vkTextBox(QWidget *parent = nullptr);

    QString text() const { return edit_->text(); }
    void setText(const QString &text) { edit_->setText(text); }
    QString legend() const { return legend_; }
    void setLegend(const QString &legend);
    QFont legendFont() const { return legendFont_; }
    void setLegendFont(const QFont &font);
    QColor legendForeColor() const { return legendForeColor_; }
    void setLegendForeColor(const QColor &color);
    QLineEdit::EchoMode echoMode() const { return edit_->echoMode(); }
    void setEchoMode(QLineEdit::EchoMode mode) { edit_->setEchoMode(mode); }

    QSize sizeHint() const override;

signals:
    void textChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int legendHeight() const;
    void placeEdit();

    QLineEdit *edit_;
    QString legend_;
    QFont legendFont_;
    QColor legendForeColor_{Qt::darkGray};
};
