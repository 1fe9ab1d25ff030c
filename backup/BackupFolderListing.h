#pragma once

#include "settings/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One name directly inside the backup folder, as the listing saw it.
struct FolderEntry {
    QString name;
    bool isFile = false;    // a regular file, or a link to one
    bool isSymLink = false; // a symbolic link (on Windows also a shortcut), whatever it points to
    qint64 sizeBytes = 0;   // 0 for a link: its target may lie anywhere
    // The last write as the file system keeps it: it orders backups no record names.
    QDateTime modified = {};
};

// Whether the folder, written as the server sees it, can be looked into from here: a path in this
// machine's form naming a folder that exists. A server's "C:\Yedek\" seen from Linux is not.
bool IsVisibleFolder(const QString &folder);

// The names directly inside a visible folder, links among them, sorted by name. It reads the disk:
// call it on the backup worker.
Result<QList<FolderEntry>> ListFolder(const QString &folder);
