#pragma once

#include <QWidget>

class QLineEdit;
class vkCommand;
class vkLabel;
class vkTextBox;

// The settings window's row for the second copy: "İKİNCİ KOPYA YERİ" with its folder field and SEÇ, and
// "SAKLA: N GÜN" for the copies there. The window stores what it shows at KAYDET.
class SecondCopyRow : public QWidget {
    Q_OBJECT
public:
    explicit SecondCopyRow(QWidget *parent = nullptr);

    QString folder() const;
    void setFolder(const QString &folder);
    QString keepDays() const;
    void setKeepDays(const QString &days);

signals:
    void browseRequested();

private:
    vkLabel *caption_ = nullptr;
    QLineEdit *folder_ = nullptr;
    vkCommand *browse_ = nullptr;
    vkLabel *keepCaption_ = nullptr;
    vkTextBox *keepDays_ = nullptr;
    vkLabel *daysCaption_ = nullptr;
};
