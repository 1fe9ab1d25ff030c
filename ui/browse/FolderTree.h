#pragma once

#include <QTreeWidget>

// The open folder with its parents above it and its subfolders below it. A double click opens an entry;
// a single click only selects it.
class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget *parent = nullptr);

    QString path() const { return path_; }
    // Opens folder and emits pathChanged when it differs from the open one. False when the folder
    // cannot be read; the tree then stays on the folder it showed.
    bool setPath(const QString &folder);

signals:
    void pathChanged();

private:
    QString path_;
};
