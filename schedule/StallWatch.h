#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

// Whether the run in flight has stopped moving, by elapsed time: no progress from the server (or no start
// of it) for kQuietAtLeast, or for twice the longest successful run when that is longer, since a large
// database may report its percent rarely. Said once per stall: progress starts a new one.
class StallWatch {
public:
    using Milliseconds = std::chrono::milliseconds;
    static constexpr Milliseconds kQuietAtLeast{30 * 60 * 1000};

    void setLongestSuccess(Milliseconds longest) { longest_ = longest; }
    // A success longer than any before raises the bar for the runs after it.
    void succeededIn(Milliseconds duration) { longest_ = std::max(longest_, duration); }

    void start(Milliseconds now);
    void progress(Milliseconds now);
    void stop() { lastMove_.reset(); }

    // The whole minutes since the run last moved, when the stall is to be told now; nothing otherwise,
    // and nothing again until the run moves.
    std::optional<int> warning(Milliseconds now);

private:
    Milliseconds longest_{0};
    std::optional<Milliseconds> lastMove_;
    bool told_ = false;
};
