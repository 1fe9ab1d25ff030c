#include "backup/RenameUnverified.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString kSuffix = u".DOGRULANAMADI"_s;

} // namespace

bool IsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

Result<QString> RenameUnverified(const QString &path)
{
    QString target = path + kSuffix;
    for (int copy = 2; IsTaken(target); ++copy)
        target = path + u'-' + QString::number(copy) + kSuffix;
    QFile file(path);
    // QFile never replaces an existing target either: one that appeared since the look above stays.
    if (!file.rename(target))
        return Failure{u"Dosyanın adı değiştirilemedi."_s,
                       u"%1 -> %2: %3"_s.arg(path, target, file.errorString())};
    return target;
}
