#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>
#include <vector>

// A clock in the window's event loop: the gaps between its ticks are what a user sees as a frozen window.
class TickRecorder : public QObject {
    Q_OBJECT
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit TickRecorder(std::chrono::milliseconds interval, QObject *parent = nullptr);

    // The longest gap between two ticks, from the last tick before `from` to the first tick after `to`;
    // nothing without a tick on both sides.
    std::optional<double> longestGapMs(TimePoint from, TimePoint to) const;

private:
    QTimer timer_;
    std::vector<TimePoint> ticks_;
};
