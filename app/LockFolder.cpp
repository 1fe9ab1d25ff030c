#include "app/LockFolder.h"

QString LockFolder()
{
    return QStringLiteral("/tmp");
}
