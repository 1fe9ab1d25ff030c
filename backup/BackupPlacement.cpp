#include "backup/BackupPlacement.h"

#include <QDir>

Result<QString> BackupFolderFrom(const Result<BackupSettings> &settings, const QString &file)
{
    if (!settings)
        return settings.failure();
    const QString where = QDir::toNativeSeparators(file);
    if (settings->folderCut)
        return Failure{
            QStringLiteral("Yedek klasörünün yolu çok uzun (en çok 254 karakter olabilir). AYARLAR "
                           "penceresinde YEDEK ALINACAK KONUM için daha kısa yollu bir klasör seçip "
                           "KAYDET düğmesine basın."),
            where};
    if (settings->folder.trimmed().isEmpty())
        return Failure{QStringLiteral("Yedek klasörü ayarlanmamış. AYARLAR penceresinde YEDEK ALINACAK KONUM "
                                      "için SEÇ ile bir klasör seçip KAYDET düğmesine basın."),
                       where};
    return settings->folder;
}
