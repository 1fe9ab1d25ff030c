#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

// The interval texts in the order the settings window lists them; the settings file keeps the text.
const QStringList &IntervalChoices();

inline constexpr int kDailyInterval = 7; // "Günlük yedekleme saatinde kopyala"

// The choice a stored or typed text names, as a hand-edited file may spell it: letter case ignored (with
// İ, I, ı and i taken as one letter) and blanks around it dropped. -1 when it names none.
int IntervalIndexOf(const QString &text);

// The daily hour a text names: "02", "2", " 2 " are 2. Nothing for an empty text or one that is no hour
// from 0 to 23.
std::optional<int> DailyHourOf(const QString &text);

// The hour as the field and the labels show it: two digits.
QString DailyHourText(int hour);

// The length of interval choices 0..6; nothing for the daily choice and for any other index.
std::optional<std::chrono::seconds> IntervalLength(int intervalIndex);
