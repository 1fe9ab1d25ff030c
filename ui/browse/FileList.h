#pragma once

#include <QListWidget>

// The files of one folder, by name.
class FileList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    QString path() const { return path_; }
    // False when the folder cannot be read; the list then stays on the folder it showed.
    bool setPath(const QString &folder);

private:
    QString path_;
};
