#include "backup/OdbcDriver.h"

#include <QRegularExpression>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QStringList kMicrosoftDrivers = {
    u"ODBC Driver 18 for SQL Server"_s,
    u"ODBC Driver 17 for SQL Server"_s,
    u"SQL Server Native Client 11.0"_s,
    u"SQL Server"_s,
};

// Driver names are matched as Windows matches them, without regard to case; the installed spelling is
// the one handed on.
std::optional<QString> Find(const QStringList &installed, const QString &name)
{
    for (const QString &driver : installed) {
        if (driver.compare(name, Qt::CaseInsensitive) == 0)
            return driver;
    }
    return std::nullopt;
}

} // namespace

bool IsFreeTdsDriver(const QString &driver)
{
    return driver.contains(u"FreeTDS"_s, Qt::CaseInsensitive);
}

bool SkipsCertificateCheck(const QString &driver)
{
    static const QRegularExpression kVersioned(u"^ODBC Driver (\\d+) for SQL Server$"_s,
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kVersioned.match(driver);
    return match.hasMatch() && match.captured(1).toInt() >= 18;
}

Result<QString> ChooseDriver(const QStringList &installed, const QString &asked)
{
    if (!asked.trimmed().isEmpty()) {
        if (const std::optional<QString> found = Find(installed, asked.trimmed()))
            return *found;
    }
    for (const QString &name : kMicrosoftDrivers) {
        if (const std::optional<QString> found = Find(installed, name))
            return *found;
    }
    if (const std::optional<QString> exact = Find(installed, u"FreeTDS"_s))
        return *exact;
    for (const QString &driver : installed) {
        if (IsFreeTdsDriver(driver))
            return driver;
    }
    return Failure{u"Bu bilgisayarda SQL Server için bir ODBC sürücüsü yok. Microsoft ODBC Driver 18 for SQL "
                   "Server'ı kurun."_s,
                   installed.join(u'\n')};
}
