#include "backup/BackupPlacement.h"

#include <QDir>

using namespace Qt::StringLiterals;

Result<QString> BackupFolderFrom(const Result<BackupSettings> &settings, const QString &file)
{
    if (!settings)
        return settings.failure();
    const QString where = QDir::toNativeSeparators(file);
    if (settings->folderCut)
        return Failure{u"Yedek klasörünün yolu çok uzun (en çok 254 karakter olabilir). AYARLAR "
                       "penceresinde YEDEK ALINACAK KONUM için daha kısa yollu bir klasör seçip "
                       "KAYDET düğmesine basın."_s,
                       where};
    if (settings->folder.trimmed().isEmpty())
        return Failure{u"Yedek klasörü ayarlanmamış. AYARLAR penceresinde YEDEK ALINACAK KONUM "
                       "için SEÇ ile bir klasör seçip KAYDET düğmesine basın."_s,
                       where};
    return settings->folder;
}
