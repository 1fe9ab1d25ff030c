#pragma once

#include "settings/Result.h"

#include <QString>
#include <QStringList>

// The ODBC drivers the driver manager knows, by name, as it lists them.
QStringList InstalledDrivers();

// The driver to reach SQL Server with: the one support staff asked for when it is installed, otherwise
// the newest Microsoft driver installed, otherwise a FreeTDS driver (Wine hands ODBC over to the host's
// driver manager, where FreeTDS is the one registered). A failure names what to install.
Result<QString> ChooseDriver(const QStringList &installed, const QString &asked);

bool IsFreeTdsDriver(const QString &driver);

// Microsoft's drivers from version 18 refuse an unencrypted login, and a shop's SQL Server Express only
// has a self-signed certificate: for these the connection is encrypted but the certificate not checked.
bool SkipsCertificateCheck(const QString &driver);
