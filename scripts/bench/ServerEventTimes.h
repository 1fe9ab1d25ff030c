#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <chrono>
#include <optional>
#include <utility>

namespace tdstest {
class TdsTestServer;
}

// The test server's events, stamped on the steady clock on the server's own thread as they happen.
class ServerEventTimes {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit ServerEventTimes(tdstest::TdsTestServer &server);
    ~ServerEventTimes();
    ServerEventTimes(const ServerEventTimes &) = delete;
    ServerEventTimes &operator=(const ServerEventTimes &) = delete;

    void clear();
    // The last event since clear() whose log line starts with `prefix`.
    std::optional<TimePoint> last(const QString &prefix) const;

private:
    tdstest::TdsTestServer &server_;
    mutable QMutex mutex_;
    QList<std::pair<QString, TimePoint>> events_;
};
