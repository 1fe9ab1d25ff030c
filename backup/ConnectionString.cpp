#include "backup/ConnectionString.h"

#include "backup/OdbcDriver.h"

using namespace Qt::StringLiterals;

namespace {

bool NeedsBraces(const QString &value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    for (QChar c : value) {
        if (c == u';' || c == u'{' || c == u'}' || c == u'=' || c.unicode() < 0x20)
            return true;
    }
    return false;
}

// FreeTDS 1.3 ends a braced value at the first "}" followed by ";" or the end of the string and takes
// everything before it literally ("}}" is not undone), so a value may hold "}" anywhere except right
// before a ";".
bool FreeTdsCanCarry(const QString &value)
{
    return !value.contains(u"};"_s);
}

QString FreeTdsPair(const QString &keyword, const QString &value)
{
    const QString quoted = NeedsBraces(value) ? u'{' + value + u'}' : value;
    return keyword + u'=' + quoted + u';';
}

// Microsoft's drivers read "}}" inside braces as one "}", so every value can be carried.
QString MicrosoftPair(const QString &keyword, const QString &value)
{
    if (!NeedsBraces(value))
        return keyword + u'=' + value + u';';
    QString escaped = value;
    escaped.replace(u'}', u"}}"_s);
    return keyword + u"={"_s + escaped + u"};"_s;
}

Result<QString> FreeTdsString(const ConnectionValues &values, const QString &driver)
{
    const struct {
        const char16_t *keyword;
        const QString &value;
        const char16_t *label;
    } fields[] = {
        {u"SERVER", values.server, u"Sql Sunucusu"},   {u"PORT", values.port, u"Sql Portu"},
        {u"DATABASE", values.database, u"Veritabanı"}, {u"UID", values.login, u"Sql Kullanıcısı"},
        {u"PWD", values.password, u"Sql Şifresi"},
    };

    QString text = u"DRIVER={%1};"_s.arg(driver);
    for (const auto &field : fields) {
        if (!FreeTdsCanCarry(field.value)) {
            return Failure{u"%1 değeri \"};\" içeriyor; ODBC sürücüsü bu değeri taşıyamaz. "
                           "AYARLAR penceresinde değeri değiştirip BAĞLANMA TESTİ YAP düğmesine "
                           "basın."_s.arg(QString::fromUtf16(field.label)),
                           {}};
        }
        // An empty port leaves the choice to the driver (its configured default, 1433).
        if (field.value.isEmpty() && QStringView(field.keyword) == u"PORT")
            continue;
        text += FreeTdsPair(QString::fromUtf16(field.keyword), field.value);
    }
    text += u"TDS_Version=7.4;"_s;
    text += FreeTdsPair(u"APP"_s, kApplicationName);
    return text;
}

QString MicrosoftString(const ConnectionValues &values, const QString &driver)
{
    // Without a port the server is taken as typed, a named instance included, and found through the
    // SQL Server Browser.
    const QString server = values.port.isEmpty() ? values.server : values.server + u',' + values.port;
    QString text = u"DRIVER={%1};"_s.arg(driver);
    text += MicrosoftPair(u"SERVER"_s, server);
    text += MicrosoftPair(u"DATABASE"_s, values.database);
    text += MicrosoftPair(u"UID"_s, values.login);
    text += MicrosoftPair(u"PWD"_s, values.password);
    if (SkipsCertificateCheck(driver))
        text += u"Encrypt=yes;TrustServerCertificate=yes;"_s;
    text += MicrosoftPair(u"APP"_s, kApplicationName);
    return text;
}

} // namespace

Result<QString> BuildConnectionStringFor(const ConnectionValues &values, const QString &driver)
{
    if (IsFreeTdsDriver(driver))
        return FreeTdsString(values, driver);
    return MicrosoftString(values, driver);
}
