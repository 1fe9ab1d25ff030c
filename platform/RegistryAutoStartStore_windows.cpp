#include "platform/RegistryAutoStartStore.h"

#include <QDir>
#include <utility>
#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

const wchar_t *Wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

} // namespace

QList<RegistryAutoStartStore::Hive> RegistryAutoStartStore::defaultHives()
{
    return {{HKEY_LOCAL_MACHINE, u"bu bilgisayarın tüm kullanıcıları"_s},
            {HKEY_CURRENT_USER, u"yalnız bu kullanıcı"_s}};
}

QString RegistryAutoStartStore::defaultKey()
{
    return u"Software\\Microsoft\\Windows\\CurrentVersion"_s;
}

RegistryAutoStartStore::RegistryAutoStartStore(QList<Hive> hives, QString key)
    : hives_(std::move(hives)), key_(std::move(key))
{}

RegistryAutoStartStore::~RegistryAutoStartStore()
{
    close();
}

QString RegistryAutoStartStore::path(AutoStartPlace place) const
{
    return key_ + (place == AutoStartPlace::Run ? u"\\Run"_s : u"\\Run-"_s);
}

bool RegistryAutoStartStore::open(AutoStartPlace place)
{
    close();
    const QString where = path(place);
    constexpr REGSAM kAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;
    for (qsizetype i = 0; i < hives_.size(); ++i) {
        HKEY key = nullptr;
        // Run is made on the first write, as Windows itself does; Run- is only ever used where it is.
        const LSTATUS status = place == AutoStartPlace::Run
                                   ? RegCreateKeyExW(hives_[i].root, Wide(where), 0, nullptr,
                                                     REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key, nullptr)
                                   : RegOpenKeyExW(hives_[i].root, Wide(where), 0, kAccess, &key);
        if (status == ERROR_SUCCESS) {
            open_ = key;
            openHive_ = i;
            return true;
        }
    }
    return false;
}

bool RegistryAutoStartStore::remove(const QString &name)
{
    if (!open_ || name.isEmpty())
        return false;
    const LSTATUS status = RegDeleteValueW(open_, Wide(name));
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegistryAutoStartStore::set(const QString &name, const QString &command)
{
    if (!open_ || name.isEmpty())
        return false;
    // The whole path in quotes: a folder with a blank in its name would otherwise end the program's name
    // at the blank.
    const QString line = u"\""_s + QDir::toNativeSeparators(command) + u"\""_s;
    const auto bytes = static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(open_, Wide(name), 0, REG_SZ, reinterpret_cast<const BYTE *>(line.utf16()), bytes) !=
        ERROR_SUCCESS)
        return false;
    writtenFor_ = hives_[openHive_].whom;
    return true;
}

void RegistryAutoStartStore::close()
{
    if (open_)
        RegCloseKey(open_);
    open_ = nullptr;
    openHive_ = -1;
}

QString RegistryAutoStartStore::writtenFor() const
{
    return writtenFor_;
}

std::unique_ptr<AutoStartStore> UserAutoStartStore()
{
    return std::make_unique<RegistryAutoStartStore>();
}
