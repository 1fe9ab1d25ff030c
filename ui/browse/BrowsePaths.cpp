#include "ui/browse/BrowsePaths.h"

#include <QDir>

namespace {

constexpr QChar Separator = u'/';

} // namespace

QString withSeparator(const QString &folder)
{
    return folder.endsWith(Separator) ? folder : folder + Separator;
}

QString volumeRootOf(const QString &folder, const QStringList &roots)
{
    const QString inside = withSeparator(folder);
    QString best;
    for (const QString &root : roots) {
        if (inside.startsWith(withSeparator(root)) && root.size() > best.size())
            best = root;
    }
    return best;
}

QString driveFolder(const QString &root, const QString &workingFolder, const QStringList &roots)
{
    return volumeRootOf(workingFolder, roots) == root ? workingFolder : root;
}

QString absoluteFolder(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool canList(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists() && dir.isReadable();
}
