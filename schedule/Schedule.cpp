#include "schedule/Schedule.h"

#include <array>

using namespace Qt::StringLiterals;

const QStringList &IntervalChoices()
{
    static const QStringList kEntries{
        u"Dakikada bir yedekle"_s,     u"30 dakika 1 kopyala"_s,
        u"Her saat başı kopyala"_s,    u"İki saatte bir kopyala"_s,
        u"Dört saatte bir kopyala"_s,  u"Altı saatte bir kopyala"_s,
        u"oniki saatte bir kopyala"_s, u"Günlük yedekleme saatinde kopyala"_s,
    };
    return kEntries;
}

namespace {

// Turkish writes İ/i and I/ı as two pairs, other languages one; a file typed on either kind of keyboard
// must match, so all four count as one letter.
QString Folded(const QString &text)
{
    QString folded = text.trimmed().toLower();
    folded.replace(u"i\u0307"_s, u"i"_s); // what toLower makes of İ
    folded.replace(u'ı', u'i');
    return folded;
}

// Minutes for the minute rules, hours for the hour rules, in list order.
constexpr std::array<std::chrono::seconds, kDailyInterval> kLengths{
    std::chrono::minutes(1), std::chrono::minutes(30), std::chrono::hours(1), std::chrono::hours(2),
    std::chrono::hours(4),   std::chrono::hours(6),    std::chrono::hours(12)};

} // namespace

int IntervalIndexOf(const QString &text)
{
    const QString wanted = Folded(text);
    if (wanted.isEmpty())
        return -1;
    const QStringList &choices = IntervalChoices();
    for (qsizetype i = 0; i < choices.size(); ++i) {
        if (Folded(choices[i]) == wanted)
            return int(i);
    }
    return -1;
}

std::optional<int> DailyHourOf(const QString &text)
{
    const QString hour = text.trimmed();
    if (hour.isEmpty() || hour.size() > 2)
        return std::nullopt;
    int value = 0;
    for (QChar c : hour) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 23)
        return std::nullopt;
    return value;
}

QString DailyHourText(int hour)
{
    return u"%1"_s.arg(hour, 2, 10, QChar(u'0'));
}

std::optional<std::chrono::seconds> IntervalLength(int intervalIndex)
{
    if (intervalIndex < 0 || intervalIndex >= kDailyInterval)
        return std::nullopt;
    return kLengths[static_cast<std::size_t>(intervalIndex)];
}
