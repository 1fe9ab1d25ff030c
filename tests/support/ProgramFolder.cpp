#include "support/ProgramFolder.h"

#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

#include <QDir>

using namespace Qt::StringLiterals;

ProgramFolder::ProgramFolder()
{
    valid_ =
        root_.isValid() && QDir(root_.path()).mkdir(u"program"_s) && QDir(root_.path()).mkdir(u"backups"_s);
}

QString ProgramFolder::path() const
{
    return root_.path() + u"/program"_s;
}

QString ProgramFolder::backupFolder() const
{
    return root_.path() + u"/backups/"_s;
}

Outcome ProgramFolder::write(quint16 port, const ProgramSettings &settings)
{
    using namespace SettingsFiles;
    const ConnectionValues connection{settings.server, QString::number(port), settings.database,
                                      settings.login, settings.password};
    if (const Outcome stored = StoreConnectionValues(connection, ConnectionFile(path())); !stored)
        return stored;
    QList<SettingValue> values{{kFolder, settings.folder.isNull() ? backupFolder() : settings.folder}};
    if (!settings.dailyHour.isNull())
        values.append({kDailyHour, settings.dailyHour});
    if (!settings.interval.isNull())
        values.append({kInterval, settings.interval});
    return WriteSettings(kSection, values, BackupFile(path()));
}
