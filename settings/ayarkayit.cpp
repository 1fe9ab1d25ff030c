#include "settings/ayarkayit.h"

#include "settings/ProfileFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

std::optional<QByteArray> readWhole(const QString &file)
{
    // QFileInfo follows a link: a link to a missing file is a missing file, which a write then creates.
    if (!QFileInfo::exists(file))
        return QByteArray();
    QFile in(file);
    if (QFileInfo(file).isDir() || !in.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

} // namespace

QString ReadSetting(const QString &section, const QString &key, const QString &file)
{
    const std::optional<QByteArray> content = readWhole(file);
    return content ? ProfileFormat::value(*content, section, key) : QString();
}

bool WriteSetting(const QString &section, const QString &key, const QString &value, const QString &file)
{
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    const std::optional<QByteArray> content = readWhole(file);
    if (!content)
        return false;
    const std::optional<QByteArray> updated = ProfileFormat::withValue(*content, section, key, value);
    if (!updated)
        return false;
    if (*updated == *content)
        return true;

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // The connection settings hold a password in plain text: only the owner may read them.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (out.write(*updated) != updated->size())
        return false;
    return out.commit();
}
