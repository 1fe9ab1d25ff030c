#include "settings/ayarkayit.h"

#include "settings/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

Failure unreadable(const QString &file, const QString &detail)
{
    return {QStringLiteral("Ayar dosyası okunamadı: %1. Dosyanın bu kullanıcı tarafından okunabildiğini "
                           "denetleyin ya da dosyayı silip ayarları yeniden kaydedin.")
                .arg(QDir::toNativeSeparators(file)),
            detail};
}

} // namespace

Result<QByteArray> ReadSettingsFile(const QString &file)
{
    // QFileInfo follows a link: a link to a missing file is a missing file, which a write then creates.
    if (!QFileInfo::exists(file))
        return QByteArray();
    if (QFileInfo(file).isDir())
        return unreadable(file, QStringLiteral("is a folder"));
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return unreadable(file, in.errorString());
    QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return unreadable(file, in.errorString());
    return content;
}

QString ReadSetting(const QString &section, const QString &key, const QString &file)
{
    const Result<QByteArray> content = ReadSettingsFile(file);
    return content ? ProfileFormat::value(content.value(), section, key) : QString();
}

bool WriteSetting(const QString &section, const QString &key, const QString &value, const QString &file)
{
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    const Result<QByteArray> content = ReadSettingsFile(file);
    if (!content)
        return false;
    const std::optional<QByteArray> updated = ProfileFormat::withValue(content.value(), section, key, value);
    if (!updated)
        return false;
    if (*updated == content.value())
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
