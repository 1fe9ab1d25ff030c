#include "platform/DiskSync.h"

#include <QFileDevice>
#include <io.h>
#include <windows.h>

bool SyncToDiskAndForget(QFileDevice &file)
{
    if (!file.flush())
        return false;
    const int descriptor = file.handle();
    if (descriptor < 0)
        return false;
    // Windows offers no way to drop one file's cached pages: its read back may come from memory.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}
