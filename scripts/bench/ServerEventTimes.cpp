#include "ServerEventTimes.h"

#include "tdstestserver.h"

#include <QMutexLocker>
#include <ranges>

ServerEventTimes::ServerEventTimes(tdstest::TdsTestServer &server) : server_(server)
{
    server_.setEventLog([this](const QString &line) {
        const TimePoint at = std::chrono::steady_clock::now();
        QMutexLocker lock(&mutex_);
        events_.append({line, at});
    });
}

ServerEventTimes::~ServerEventTimes()
{
    server_.setEventLog({});
}

void ServerEventTimes::clear()
{
    QMutexLocker lock(&mutex_);
    events_.clear();
}

std::optional<ServerEventTimes::TimePoint> ServerEventTimes::last(const QString &prefix) const
{
    QMutexLocker lock(&mutex_);
    for (const auto &[line, at] : events_ | std::views::reverse) {
        if (line.startsWith(prefix))
            return at;
    }
    return std::nullopt;
}
