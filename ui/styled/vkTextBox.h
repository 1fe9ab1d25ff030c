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

    QString text() const { return m_edit->text(); }
    void setText(const QString &text) { m_edit->setText(text); }
    QString legend() const { return m_legend; }
    void setLegend(const QString &legend);
    QFont legendFont() const { return m_legendFont; }
    void setLegendFont(const QFont &font);
    QColor legendForeColor() const { return m_legendForeColor; }
    void setLegendForeColor(const QColor &color);
    QLineEdit::EchoMode echoMode() const { return m_edit->echoMode(); }
    void setEchoMode(QLineEdit::EchoMode mode) { m_edit->setEchoMode(mode); }

    QSize sizeHint() const override;

signals:
    void textChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int legendHeight() const;
    void placeEdit();

    QLineEdit *m_edit;
    QString m_legend;
    QFont m_legendFont;
    QColor m_legendForeColor{Qt::darkGray};
};
