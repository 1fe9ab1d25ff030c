#include "platform/OwnerOnly.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

bool OpenNewOwnerOnly(QFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly);
}

bool MakeOwnerOnly(const QString &path)
{
    return QFile::setPermissions(path, kOwnerOnly);
}

bool MakeOwnerOnly(QFileDevice &file)
{
    return file.setPermissions(kOwnerOnly);
}

bool OpenToOthers(const QFileInfo &info)
{
    return (info.permissions() & kOthers) != 0;
}

bool OwnedByThisUser(const QFileInfo &info)
{
    return info.ownerId() == ::getuid();
}
