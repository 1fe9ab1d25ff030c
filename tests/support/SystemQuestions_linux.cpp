#include "support/SystemQuestions.h"

#include <QFile>
#include <unistd.h>

bool RunsAsSuperUser()
{
    return ::geteuid() == 0;
}

bool GiveToAnotherUser(const QString &path)
{
    // 65534 is nobody.
    return ::getuid() == 0 && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
}

QString WithoutModeBits()
{
    return {};
}

QString WithoutSymbolicLinks()
{
    return {};
}

QString WithoutRemovingBusyFolders()
{
    return {};
}

QString WithoutSocketFiles()
{
    return {};
}

QString WithoutDriverPortVariable()
{
    return {};
}

QString WithoutBufferedLocalSockets()
{
    return {};
}
