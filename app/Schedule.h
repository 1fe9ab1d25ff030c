#pragma once

#include <QString>
#include <chrono>
#include <optional>

// The next copy time text, or nothing when the label must be left as it is.
std::optional<QString> NextCopyTime(const QString &lastBackup, int intervalIndex, const QString &dailyHour);

// The length of interval choices 0..6; nothing for 7 (daily) and for any other index.
std::optional<std::chrono::seconds> IntervalLength(int intervalIndex);
