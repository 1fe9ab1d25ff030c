#include "backup/BackupFolderListing.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

bool IsVisibleFolder(const QString &folder)
{
    const QString path = folder.trimmed();
    return QDir::isAbsolutePath(path) && QFileInfo(path).isDir();
}

Result<QList<FolderEntry>> ListFolder(const QString &folder)
{
    const QDir dir(folder.trimmed());
    // An unreadable folder lists as empty: that must not read as a folder without backups.
    if (!dir.isReadable())
        return Failure{u"Yedek klasörünün içi okunamadı. Bu bilgisayarda klasörü okuma izniniz olduğunu "
                       "kontrol edin."_s,
                       dir.path()};
    // System brings the links whose target is gone: they are refused by name, never skipped unseen.
    const QFileInfoList infos =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    QList<FolderEntry> entries;
    entries.reserve(infos.size());
    for (const QFileInfo &info : infos)
        entries.append({info.fileName(), info.isFile(), info.isSymLink(), info.isSymLink() ? 0 : info.size(),
                        info.lastModified()});
    return entries;
}
