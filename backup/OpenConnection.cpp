#include "backup/OpenConnection.h"

#include "backup/BackupResult.h"
#include "backup/ConnectionString.h"

std::optional<QString> OpenConnection(OdbcConnection &odbc, const ConnectionValues &values,
                                      int loginTimeoutSeconds)
{
    if (values.server.trimmed().isEmpty())
        return QStringLiteral("Sql sunucusu ayarlanmamış: AYARLAR penceresinde bağlantı bilgilerini girip "
                              "BAĞLANMA TESTİ YAP düğmesine basın.");
    const ConnectionString connection = BuildConnectionString(values);
    if (!connection.problem.isEmpty())
        return connection.problem;
    if (odbc.open(connection.text, loginTimeoutSeconds))
        return std::nullopt;
    const QString reason = FailureReason(odbc.messages());
    return reason.isEmpty() ? QStringLiteral("Sql sunucusuna bağlanılamadı.") : reason;
}

std::optional<QString> TestConnection(const ConnectionValues &values, int loginTimeoutSeconds)
{
    // The user has just pressed the test button: ask for what is missing, not for the test itself.
    if (values.server.trimmed().isEmpty())
        return QStringLiteral("Sql Sunucusu alanı boş: sunucunun adını ya da adresini yazın.");
    OdbcConnection odbc;
    return OpenConnection(odbc, values, loginTimeoutSeconds);
}
