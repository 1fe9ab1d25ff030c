#include "backup/WrittenFileCheck.h"

#include "backup/BackupFolderListing.h"
#include "backup/SizeText.h"

#include <QFileInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kShrinkFactor = 10;

} // namespace

Outcome CheckWrittenSize(std::optional<qint64> sizeBytes, const QList<qint64> &recentSizes)
{
    const auto smallest = std::min_element(recentSizes.cbegin(), recentSizes.cend());
    const bool tooSmall =
        sizeBytes && smallest != recentSizes.cend() && *sizeBytes * kShrinkFactor < *smallest;
    if (sizeBytes && *sizeBytes > 0 && !tooSmall)
        return Done{};
    QString reason = u"YEDEK DOSYASI BOŞ YA DA EKSİK: yeni dosya "_s +
                     (sizeBytes ? SizeText(*sizeBytes) : u"klasörde yok"_s);
    if (smallest != recentSizes.cend())
        reason += u", son yedeklerin en küçüğü "_s + SizeText(*smallest);
    return Failure{reason + u". Yedek diskinde yer olduğunu kontrol edip YEDEKLE düğmesine basın."_s, {}};
}

void CheckWrittenFile(BackupResult &result, const QList<qint64> &recentSizes)
{
    const QFileInfo file(result.filePath);
    if (!IsVisibleFolder(file.path()))
        return;
    const std::optional<qint64> size = file.isFile() ? std::optional(file.size()) : std::nullopt;
    result.sizeBytes = size.value_or(-1);
    const Outcome checked = CheckWrittenSize(size, recentSizes);
    if (checked)
        return;
    result.ok = false;
    result.reason = checked.failure().reason + u'\n' + result.filePath;
    result.filePath.clear();
}
