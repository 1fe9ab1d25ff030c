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

Outcome StoreConnectionValues(const ConnectionValues &values, const QString &file)
{
    return WriteSettings(kSection,
                         {{kServer, values.server},
                          {kPort, values.port},
                          {kLogin, values.login},
                          {kPassword, values.password},
                          {kDatabase, values.database}},
                         file);
}
