#include "TickRecorder.h"

#include "Sample.h"

#include <algorithm>

TickRecorder::TickRecorder(std::chrono::milliseconds interval, QObject *parent) : QObject(parent)
{
    // Precise, so that a gap over the interval is a delay of the event loop, not the timer's own slack.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, [this] { ticks_.push_back(std::chrono::steady_clock::now()); });
    timer_.start();
}

std::optional<double> TickRecorder::longestGapMs(TimePoint from, TimePoint to) const
{
    const auto afterFrom = std::upper_bound(ticks_.begin(), ticks_.end(), from);
    const auto afterTo = std::upper_bound(ticks_.begin(), ticks_.end(), to);
    if (afterFrom == ticks_.begin() || afterTo == ticks_.end())
        return std::nullopt;
    double longest = 0;
    for (auto tick = std::prev(afterFrom); tick != afterTo; ++tick)
        longest = std::max(longest, Milliseconds(*std::next(tick) - *tick));
    return longest;
}
