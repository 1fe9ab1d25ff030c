#include "ui/browse/MountedVolumes.h"

#include "platform/MountedVolumes.h"

QStringList MountedVolumes::roots() const
{
    return MountedVolumeRoots();
}
