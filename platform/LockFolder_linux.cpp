#include "platform/LockFolder.h"

using namespace Qt::StringLiterals;

QString LockFolder()
{
    return u"/tmp"_s;
}
