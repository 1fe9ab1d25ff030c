#include "platform/MountedVolumes.h"

#include <windows.h>

using namespace Qt::StringLiterals;

QStringList MountedVolumeRoots()
{
    // Every letter the system gives out, in letter order, also a drive with no disc in it: asking each for
    // its size would wake sleeping network drives and make the floppy drive spin.
    QStringList roots;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (letters & (DWORD{1} << i))
            roots << QChar(u'A' + i) + u":/"_s;
    }
    return roots;
}
