#include "platform/MountedVolumes.h"

#include <QStorageInfo>

QStringList MountedVolumeRoots()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            roots << volume.rootPath();
    }
    // A folder mounted twice (bind mounts) is one drive to the user.
    roots.removeDuplicates();
    roots.sort();
    return roots;
}
