#include "settings/ayarkayit.h"

#include "platform/OwnerOnly.h"
#include "settings/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

Failure Unreadable(const QString &file, const QString &detail)
{
    return {u"Ayar dosyası okunamadı: %1. Dosyanın bu kullanıcı tarafından okunabildiğini "
            "denetleyin ya da dosyayı silip ayarları yeniden kaydedin."_s.arg(QDir::toNativeSeparators(file)),
            detail};
}

} // namespace

Result<QByteArray> ReadSettingsFile(const QString &file)
{
    // QFileInfo follows a link: a link to a missing file is a missing file, which a write then creates.
    if (!QFileInfo::exists(file))
        return QByteArray();
    if (QFileInfo(file).isDir())
        return Unreadable(file, u"is a folder"_s);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return Unreadable(file, in.errorString());
    QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return Unreadable(file, in.errorString());
    return content;
}

QString ReadSetting(const QString &section, const QString &key, const QString &file)
{
    const Result<QByteArray> content = ReadSettingsFile(file);
    return content ? ProfileFormat::ReadText(content.value(), section, key) : QString();
}

Outcome WriteSettings(const QString &section, const QList<SettingValue> &values, const QString &file)
{
    // A file that exists but cannot be read must not be replaced by one holding only these keys.
    const Result<QByteArray> content = ReadSettingsFile(file);
    if (!content)
        return content.failure();
    QByteArray updated = content.value();
    for (const SettingValue &value : values) {
        const std::optional<QByteArray> next =
            ProfileFormat::WithValue(updated, section, value.key, value.value);
        if (!next)
            return Failure{u"Ayar kaydedilemedi: %1 değeri bir satıra sığmıyor."_s.arg(value.key),
                           QDir::toNativeSeparators(file)};
        updated = *next;
    }
    if (updated == content.value())
        return Done{};

    QSaveFile out(file);
    // The connection settings hold a password in plain text: only the owner may read them.
    if (!out.open(QIODevice::WriteOnly) || !MakeOwnerOnly(out) || out.write(updated) != updated.size() ||
        !out.commit())
        return Failure{u"Ayar dosyası yazılamadı: %1. Klasörün yazılabilir ve diskte yer olduğunu "
                       "denetleyin."_s.arg(QDir::toNativeSeparators(file)),
                       out.errorString()};
    return Done{};
}

Outcome WriteSetting(const QString &section, const QString &key, const QString &value, const QString &file)
{
    return WriteSettings(section, {{key, value}}, file);
}
