#include "ui/browse/FolderTree.h"

#include "ui/browse/BrowsePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace {

constexpr int kPathRole = Qt::UserRole;

QTreeWidgetItem *Entry(const QString &text, const QString &folder, const QIcon &icon)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kPathRole, folder);
    item->setIcon(0, icon);
    return item;
}

// The folder itself and every parent up to its root, root first.
QStringList FolderChain(const QString &folder)
{
    QStringList chain{folder};
    while (!QDir(chain.front()).isRoot())
        chain.prepend(QFileInfo(chain.front()).path());
    return chain;
}

} // namespace

FolderTree::FolderTree(QWidget *parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(8);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { setPath(item->data(0, kPathRole).toString()); });
}

bool FolderTree::setPath(const QString &folder)
{
    const QString absolute = AbsoluteFolder(folder);
    if (absolute == path_)
        return true;
    if (!CanList(absolute))
        return false;
    const QDir dir(absolute);

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    QTreeWidgetItem *open = nullptr;
    for (const QString &level : FolderChain(absolute)) {
        const QString name = QDir(level).isRoot() ? level : QFileInfo(level).fileName();
        QTreeWidgetItem *item = Entry(name, level, openIcon);
        if (open)
            open->addChild(item);
        else
            addTopLevelItem(item);
        open = item;
    }
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const QString &name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        open->addChild(Entry(name, dir.filePath(name), closedIcon));
    expandAll();
    setCurrentItem(open);
    path_ = absolute;
    emit pathChanged();
    return true;
}
