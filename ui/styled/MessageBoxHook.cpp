#include "ui/styled/MessageBoxHook.h"

#include <QApplication>
#include <QPushButton>

using namespace Qt::StringLiterals;

void ShowMessage(const QString &text, QMessageBox::Icon icon, QWidget *parent)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text);
    QPushButton *yes = box.addButton(u"Evet"_s, QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(u"Hayır"_s, QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yes;
}
