#include "backup/RunBackup.h"

#include "backup/BackupPlan.h"
#include "backup/ConnectionString.h"
#include "backup/OdbcConnection.h"
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

BackupResult failure(const QString &reason)
{
    BackupResult result;
    result.reason = reason;
    return result;
}

} // namespace

BackupResult RunBackup(const QString &programFolder, const std::function<QDateTime()> &now,
                       int loginTimeoutSeconds)
{
    const ConnectionValues values = readConnectionValues(SettingsFiles::connectionFile(programFolder));
    if (values.server.trimmed().isEmpty())
        return failure(
            QStringLiteral("Sql sunucusu ayarlanmamış: ayarlar penceresinde bağlanma testi yapın."));
    const ConnectionString connection = BuildConnectionString(values);
    if (!connection.problem.isEmpty())
        return failure(connection.problem);

    OdbcConnection odbc;
    if (!odbc.open(connection.text, loginTimeoutSeconds)) {
        BackupResult result = failure(FirstError(odbc.messages()));
        result.messages = odbc.messages();
        if (result.reason.isEmpty())
            result.reason = QStringLiteral("Sql sunucusuna bağlanılamadı.");
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
