#include "backup/RunBackup.h"

#include "backup/FailureExplanation.h"
#include "backup/OpenConnection.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBackup, "kvz.backup")

BackupResult RunBackup(const ConnectionValues &values, const QString &folder, const QDateTime &time,
                       const IsNameTaken &isTaken, int loginTimeoutSeconds)
{
    OdbcConnection odbc;
    if (const Outcome opened = OpenConnection(odbc, values, loginTimeoutSeconds); !opened) {
        BackupResult result;
        result.reason = opened.failure().reason;
        result.messages = odbc.messages();
        return result;
    }

    const BackupPlan plan = PlanBackup(values.database, folder, time, isTaken);
    qCInfo(lcBackup) << "backing up to" << plan.filePath;

    BackupResult result;
    result.ok = odbc.executeBatch(plan.statement);
    result.messages = odbc.messages();
    result.plannedPath = plan.filePath;
    if (result.ok) {
        result.filePath = plan.filePath;
    } else {
        result.reason = ExplainFailure(result.messages);
        if (result.reason.isEmpty())
            result.reason = QStringLiteral("Yedekleme komutu başarısız oldu.");
    }
    return result;
}
