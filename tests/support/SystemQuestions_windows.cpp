#include "support/SystemQuestions.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

bool RunsAsSuperUser()
{
    // An administrator is held back by a read-only file; Wine run by root is not. Asked of the file itself.
    static const bool kWritesReadOnly = [] {
        QTemporaryDir dir;
        QFile file(dir.filePath(u"salt-okunur"_s));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.close();
        return file.setPermissions(QFile::ReadOwner) && file.open(QIODevice::WriteOnly);
    }();
    return kWritesReadOnly;
}

bool GiveToAnotherUser(const QString &)
{
    return false;
}

QString WithoutModeBits()
{
    return u"Windows keeps a file's rights in its access list; the owner-only seam's own test checks it"_s;
}

QString WithoutSymbolicLinks()
{
    return u"QFile::link makes a shortcut file on Windows, not a link the file system follows"_s;
}

QString WithoutRemovingBusyFolders()
{
    return u"Windows keeps a folder while a file in it is open: removing it cannot play an unplugged disk"_s;
}

QString WithoutSocketFiles()
{
    return u"a local socket on Windows is a named pipe, not a file in the folder"_s;
}

QString WithoutDriverPortVariable()
{
    return u"TDSPORT is FreeTDS's; under Wine it reads the host's environment, and Windows' own drivers "
           u"know no such variable"_s;
}

QString WithoutBufferedLocalSockets()
{
    return u"a named pipe's write waits for its reader, and here both copies share one thread"_s;
}
