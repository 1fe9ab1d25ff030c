#include "platform/DiskSync.h"

#include <QFileDevice>
#include <fcntl.h>
#include <unistd.h>

bool SyncToDiskAndForget(QFileDevice &file)
{
    if (!file.flush())
        return false;
    const int descriptor = file.handle();
    if (descriptor < 0 || ::fsync(descriptor) != 0)
        return false;
    // Only advice: a kernel that keeps the pages makes the check read memory, never a wrong answer.
    (void)::posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED);
    return true;
}
