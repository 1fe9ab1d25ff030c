#include "backup/RunBackup.h"

#include "backup/BackupPlan.h"
#include "backup/OpenConnection.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBackup, "kvz.backup")

namespace {

ConnectionValues readConnectionValues(const QString &file)
{
    using namespace SettingsFiles;
    ConnectionValues values;
    values.server = ReadSetting(kSection, kServer, file);
    values.database = ReadSetting(kSection, kDatabase, file);
    values.login = ReadSetting(kSection, kLogin, file);
    values.password = ReadSetting(kSection, kPassword, file);
    values.port = ReadSetting(kSection, kPort, file);
    return values;
}

} // namespace

BackupResult RunBackup(const QString &programFolder, const std::function<QDateTime()> &now,
                       int loginTimeoutSeconds)
{
    const ConnectionValues values = readConnectionValues(SettingsFiles::connectionFile(programFolder));
    OdbcConnection odbc;
    if (const std::optional<QString> problem = OpenConnection(odbc, values, loginTimeoutSeconds)) {
        BackupResult result;
        result.reason = *problem;
        result.messages = odbc.messages();
        return result;
    }

    const QString folder = ReadSetting(SettingsFiles::kSection, SettingsFiles::kFolder,
                                       SettingsFiles::backupFile(programFolder));
    const BackupPlan plan = PlanBackup(values.database, folder, now());
    qCInfo(lcBackup) << "backing up to" << plan.filePath;

    BackupResult result;
    result.ok = odbc.executeBatch(plan.statement);
    result.messages = odbc.messages();
    if (result.ok) {
        result.filePath = plan.filePath;
    } else {
        result.reason = FirstError(result.messages);
        if (result.reason.isEmpty())
            result.reason = QStringLiteral("Yedekleme komutu başarısız oldu.");
    }
    return result;
}
