#include "app/Schedule.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

enum class Rule { Minute, Hour, Daily };

struct Choice {
    Rule rule;
    int step;
};

// In the order the settings window lists them; the list index is what the settings file keeps.
constexpr std::array<Choice, 8> kChoices{{{Rule::Minute, 1},
                                          {Rule::Minute, 30},
                                          {Rule::Hour, 1},
                                          {Rule::Hour, 2},
                                          {Rule::Hour, 4},
                                          {Rule::Hour, 6},
                                          {Rule::Hour, 12},
                                          {Rule::Daily, 0}}};

std::optional<Choice> ChoiceAt(int index)
{
    if (index < 0 || index >= static_cast<int>(kChoices.size()))
        return std::nullopt;
    return kChoices[static_cast<std::size_t>(index)];
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Only what TimeText writes; anything else in the label is a text the schedule cannot cut by position.
bool IsClockText(const QString &text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return false;
    for (qsizetype i : {0, 1, 3, 4, 6, 7}) {
        if (!IsAsciiDigit(text[i]))
            return false;
    }
    return true;
}

int FieldValue(QStringView field)
{
    return (field[0].unicode() - u'0') * 10 + (field[1].unicode() - u'0');
}

// Decimal, with a '0' in front when that gives one character, as the old labels were written.
QString TwoDigits(int value)
{
    QString text = QString::number(value);
    if (text.size() == 1)
        text.prepend(u'0');
    return text;
}

QString Join(QStringView hours, QStringView minutes, QStringView seconds)
{
    return u"%1:%2:%3"_s.arg(hours, minutes, seconds);
}

QString MinuteRule(QStringView hours, QStringView minutes, QStringView seconds, int step)
{
    int minute = FieldValue(minutes) + step;
    if (minute <= 59)
        return Join(hours, TwoDigits(minute), seconds);
    int hour = FieldValue(hours) + 1;
    if (hour > 23)
        hour = 0;
    return Join(TwoDigits(hour), TwoDigits(minute - 60), seconds);
}

QString HourRule(QStringView hours, QStringView minutes, QStringView seconds, int step)
{
    int hour = FieldValue(hours) + step;
    if (hour > 23)
        hour -= 24;
    return Join(TwoDigits(hour), minutes, seconds);
}

} // namespace

std::optional<QString> NextCopyTime(const QString &lastBackup, int intervalIndex, const QString &dailyHour)
{
    if (!IsClockText(lastBackup))
        return std::nullopt;
    const std::optional<Choice> choice = ChoiceAt(intervalIndex);
    if (!choice)
        return std::nullopt;

    const QStringView text(lastBackup);
    const QStringView hours = text.sliced(0, 2);
    const QStringView minutes = text.sliced(3, 2);
    const QStringView seconds = text.sliced(6, 2);
    if (choice->rule == Rule::Minute)
        return MinuteRule(hours, minutes, seconds, choice->step);
    if (choice->rule == Rule::Hour)
        return HourRule(hours, minutes, seconds, choice->step);
    return dailyHour + u":00:00"_s;
}

std::optional<std::chrono::seconds> IntervalLength(int intervalIndex)
{
    const std::optional<Choice> choice = ChoiceAt(intervalIndex);
    if (!choice || choice->rule == Rule::Daily)
        return std::nullopt;
    if (choice->rule == Rule::Hour)
        return std::chrono::hours(choice->step);
    return std::chrono::minutes(choice->step);
}
