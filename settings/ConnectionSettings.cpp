#include "settings/ConnectionSettings.h"

#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

using namespace SettingsFiles;

ConnectionValues StoredConnectionValues(const QString &file)
{
    ConnectionValues values;
    values.server = ReadSetting(kSection, kServer, file);
    values.database = ReadSetting(kSection, kDatabase, file);
    values.login = ReadSetting(kSection, kLogin, file);
    values.password = ReadSetting(kSection, kPassword, file);
    values.port = ReadSetting(kSection, kPort, file);
    return values;
}

bool StoreConnectionValues(const ConnectionValues &values, const QString &file)
{
    return WriteSetting(kSection, kServer, values.server, file) &&
           WriteSetting(kSection, kPort, values.port, file) &&
           WriteSetting(kSection, kLogin, values.login, file) &&
           WriteSetting(kSection, kPassword, values.password, file) &&
           WriteSetting(kSection, kDatabase, values.database, file);
}
