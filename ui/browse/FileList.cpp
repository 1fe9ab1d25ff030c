#include "ui/browse/FileList.h"

#include "ui/browse/BrowsePaths.h"

#include <QDir>

bool FileList::setPath(const QString &folder)
{
    const QString absolute = AbsoluteFolder(folder);
    if (absolute == path_)
        return true;
    if (!CanList(absolute))
        return false;
    const QDir dir(absolute);
    clear();
    addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    path_ = absolute;
    return true;
}
