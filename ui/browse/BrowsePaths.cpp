#include "ui/browse/BrowsePaths.h"

#include <QDir>

namespace {

constexpr QChar kSeparator = u'/';

} // namespace

QString WithSeparator(const QString &folder)
{
    return folder.endsWith(kSeparator) ? folder : folder + kSeparator;
}

QString VolumeRootOf(const QString &folder, const QStringList &roots)
{
    const QString inside = WithSeparator(folder);
    QString best;
    for (const QString &root : roots) {
        if (inside.startsWith(WithSeparator(root)) && root.size() > best.size())
            best = root;
    }
    return best;
}

QString DriveFolder(const QString &root, const QString &workingFolder, const QStringList &roots)
{
    return VolumeRootOf(workingFolder, roots) == root ? workingFolder : root;
}

QString AbsoluteFolder(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool CanList(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists() && dir.isReadable();
}
