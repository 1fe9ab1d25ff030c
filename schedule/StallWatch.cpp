#include "schedule/StallWatch.h"

void StallWatch::start(Milliseconds now)
{
    lastMove_ = now;
    told_ = false;
}

void StallWatch::progress(Milliseconds now)
{
    if (lastMove_)
        start(now);
}

std::optional<int> StallWatch::warning(Milliseconds now)
{
    if (!lastMove_ || told_)
        return std::nullopt;
    const Milliseconds quiet = now - *lastMove_;
    if (quiet < std::max(kQuietAtLeast, 2 * longest_))
        return std::nullopt;
    told_ = true;
    return int(std::chrono::duration_cast<std::chrono::minutes>(quiet).count());
}
