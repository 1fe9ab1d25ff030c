#include "backup/ConnectionString.h"

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
bool DriverCanCarry(const QString &value)
{
    return !value.contains(u"};"_s);
}

QString Pair(const QString &keyword, const QString &value)
{
    const QString quoted = NeedsBraces(value) ? u'{' + value + u'}' : value;
    return keyword + u'=' + quoted + u';';
}

} // namespace

Result<QString> BuildConnectionString(const ConnectionValues &values)
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

    QString text = u"DRIVER={%1};"_s.arg(kOdbcDriver);
    for (const auto &field : fields) {
        if (!DriverCanCarry(field.value)) {
            return Failure{u"%1 değeri \"};\" içeriyor; ODBC sürücüsü bu değeri taşıyamaz. "
                           "AYARLAR penceresinde değeri değiştirip BAĞLANMA TESTİ YAP düğmesine "
                           "basın."_s.arg(QString::fromUtf16(field.label)),
                           {}};
        }
        // An empty port leaves the choice to the driver (its configured default, 1433).
        if (field.value.isEmpty() && QStringView(field.keyword) == u"PORT")
            continue;
        text += Pair(QString::fromUtf16(field.keyword), field.value);
    }
    text += u"TDS_Version=7.4;"_s;
    text += Pair(u"APP"_s, kApplicationName);
    return text;
}
