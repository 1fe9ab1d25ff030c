#include "backup/OpenConnection.h"

#include "backup/ConnectionString.h"
#include "backup/FailureExplanation.h"
#include "backup/OdbcDriver.h"

using namespace Qt::StringLiterals;

QString MessagesDetail(const ServerMessages &messages)
{
    QStringList lines;
    for (const ServerMessage &message : messages)
        lines << u"%1 [%2] %3"_s.arg(message.number).arg(message.state, message.text);
    return lines.join(u'\n');
}

Result<QString> OpenConnection(OdbcConnection &odbc, const ConnectionValues &values, int loginTimeoutSeconds)
{
    if (values.server.trimmed().isEmpty())
        return Failure{u"Sql sunucusu ayarlanmamış: AYARLAR penceresinde bağlantı bilgilerini girip "
                       "BAĞLANMA TESTİ YAP düğmesine basın."_s,
                       {}};
    const Result<QString> driver = ChooseDriver(InstalledDrivers(), values.driver);
    if (!driver)
        return driver.failure();
    const Result<QString> connection = BuildConnectionStringFor(values, driver.value());
    if (!connection)
        return connection.failure();
    if (odbc.open(connection.value(), loginTimeoutSeconds))
        return driver;
    const QString reason = ExplainFailure(odbc.messages());
    return Failure{reason.isEmpty() ? u"Sql sunucusuna bağlanılamadı."_s : reason,
                   MessagesDetail(odbc.messages())};
}

Result<QString> TestConnection(const ConnectionValues &values, int loginTimeoutSeconds)
{
    // The user has just pressed the test button: ask for what is missing, not for the test itself.
    if (values.server.trimmed().isEmpty())
        return Failure{u"Sql Sunucusu alanı boş: sunucunun adını ya da adresini yazın."_s, {}};
    OdbcConnection odbc;
    return OpenConnection(odbc, values, loginTimeoutSeconds);
}
