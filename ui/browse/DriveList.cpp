#include "ui/browse/DriveList.h"

DriveList::DriveList(const QStringList &roots, const QString &current, QWidget *parent)
    : QComboBox(parent), roots_(roots)
{
    for (const QString &root : roots)
        addItem(root, root);
    setCurrentIndex(findData(current));
}

bool DriveList::setDrive(const QString &root)
{
    const int index = findData(root);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}
