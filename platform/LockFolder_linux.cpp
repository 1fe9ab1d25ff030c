#include "platform/LockFolder.h"

QString LockFolder()
{
    return QStringLiteral("/tmp");
}
