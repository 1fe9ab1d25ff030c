#include "backup/MeasureSpace.h"

#include "backup/OwnBackups.h"

#include <QStorageInfo>

using namespace Qt::StringLiterals;

Result<SpaceFigures> MeasureSpace(const QString &folder, const QString &database)
{
    if (!IsVisibleFolder(folder))
        return Failure{u"YEDEK ALINACAK KONUM bu bilgisayardan görülmüyor; boş yer ölçülemedi. Diskteki boş "
                       "yeri SQL Server'ın bilgisayarında kontrol edin."_s,
                       folder};
    const QStorageInfo volume(folder.trimmed());
    if (!volume.isValid() || !volume.isReady())
        return Failure{u"Yedek klasörünün bulunduğu diskin boş yeri okunamadı. Diskin takılı ve erişilebilir "
                       "olduğunu kontrol edin."_s,
                       folder};
    const Result<QList<FolderEntry>> entries = ListFolder(folder);
    if (!entries)
        return entries.failure();
    SpaceFigures figures{volume.bytesAvailable(), 0};
    for (const OwnBackup &backup : OwnBackups(entries.value(), database)) {
        if (backup.entry.isFile && !backup.entry.isSymLink)
            figures.backupsBytes += backup.entry.sizeBytes;
    }
    return figures;
}
