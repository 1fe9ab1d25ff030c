#include "backup/RunBackup.h"

#include "backup/BackupPlan.h"
#include "backup/OpenConnection.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBackup, "kvz.backup")

BackupResult RunBackup(const QString &programFolder, const std::function<QDateTime()> &now,
                       int loginTimeoutSeconds, const QString &previousFilePath)
{
    const ConnectionValues values = StoredConnectionValues(SettingsFiles::connectionFile(programFolder));
    OdbcConnection odbc;
    if (const std::optional<QString> problem = OpenConnection(odbc, values, loginTimeoutSeconds)) {
        BackupResult result;
        result.reason = *problem;
        result.messages = odbc.messages();
        return result;
    }

    const QString folder = ReadSetting(SettingsFiles::kSection, SettingsFiles::kFolder,
                                       SettingsFiles::backupFile(programFolder));
    const BackupPlan plan = PlanBackup(values.database, folder, now(), previousFilePath);
    qCInfo(lcBackup) << "backing up to" << plan.filePath;

    BackupResult result;
    result.ok = odbc.executeBatch(plan.statement);
    result.messages = odbc.messages();
    if (result.ok) {
        result.filePath = plan.filePath;
    } else {
        result.reason = FailureReason(result.messages);
        if (result.reason.isEmpty())
            result.reason = QStringLiteral("Yedekleme komutu başarısız oldu.");
    }
    return result;
}
