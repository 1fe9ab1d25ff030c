#pragma once

#include <QFrame>
#include <QMap>

class QLabel;

// The panel of hour cells on which the daily backup hour is picked instead of typed.
class HourPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kCloseCell = 27;

    explicit HourPanel(QWidget *parent = nullptr);

    // The hour field's text for a cell's caption: two digits ("7" gives "07").
    static QString hourText(const QString &caption);

    QLabel *cell(int index) const { return Label1.value(index); }

signals:
    void picked(const QString &hour);
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMap<int, QLabel *> Label1;
};
