#pragma once

#include <QComboBox>

// Drop-down list of drive roots. currentIndexChanged reports a change of drive, also one made by setDrive.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(const QStringList &roots, const QString &current, QWidget *parent = nullptr);

    QStringList roots() const { return roots_; }
    QString drive() const { return currentData().toString(); }
    // False when root is not one of the listed drives; the selection then stays.
    bool setDrive(const QString &root);

private:
    QStringList roots_;
};
