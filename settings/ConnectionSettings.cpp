#include "settings/ConnectionSettings.h"

#include "settings/ProfileFormat.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

using namespace SettingsFiles;

Result<ConnectionValues> LoadConnectionValues(const QString &file)
{
    const Result<QByteArray> content = ReadSettingsFile(file);
    if (!content)
        return content.failure();
    auto read = [&](const QString &key) { return ProfileFormat::value(content.value(), kSection, key); };
    return ConnectionValues{read(kServer), read(kPort), read(kDatabase), read(kLogin), read(kPassword)};
}

ConnectionValues StoredConnectionValues(const QString &file)
{
    const Result<ConnectionValues> values = LoadConnectionValues(file);
    return values ? values.value() : ConnectionValues{};
}

bool StoreConnectionValues(const ConnectionValues &values, const QString &file)
{
    return WriteSetting(kSection, kServer, values.server, file) &&
           WriteSetting(kSection, kPort, values.port, file) &&
           WriteSetting(kSection, kLogin, values.login, file) &&
           WriteSetting(kSection, kPassword, values.password, file) &&
           WriteSetting(kSection, kDatabase, values.database, file);
}
