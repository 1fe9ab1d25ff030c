#pragma once

#include "backup/OdbcHandle.h"
#include "backup/ServerMessage.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class RunCancel;

// One connection to the server, used only on the thread that opened it. Closed when destroyed.
// Answers a bool and keeps messages(), not a Result: the server speaks on success too (progress, pages
// counted), and only the caller knows what it asked for and so which Turkish reason to give.
class OdbcConnection {
public:
    OdbcConnection();
    ~OdbcConnection();

    // False when the connection could not be made; messages() then says why.
    bool open(const QString &connectionString, int loginTimeoutSeconds);

    // Each message as it arrives, on the thread that executes the batch.
    using MessageSink = std::function<void(const ServerMessage &)>;

    // Sends one plain batch and reads every result the server sends, so the driver never cancels it.
    // False when the driver or the server reported an error, or `cancel` stopped it (then unsent when it
    // was cancelled before).
    bool executeBatch(const QString &sql, const MessageSink &onMessage = {}, RunCancel *cancel = nullptr);

    // Sends one batch and reads the rows of its first result set, each cell as text (a null QString for
    // NULL), then every other result. Nothing when the driver or the server reported an error.
    std::optional<QList<QStringList>> queryRows(const QString &sql);

    const ServerMessages &messages() const { return messages_; }

private:
    void collect(const OdbcHandle &handle);
    std::optional<QStringList> fetchRow(const OdbcHandle &statement, int columns);
    bool lostConnection(qsizetype since) const;

    std::unique_ptr<OdbcHandle> env_;
    std::unique_ptr<OdbcHandle> dbc_;
    bool connected_ = false;
    ServerMessages messages_;
};
