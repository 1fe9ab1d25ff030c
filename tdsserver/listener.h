#pragma once

#include "behaviour.h"

#include <QObject>
#include <memory>

class QTcpServer;

namespace tdstest {

class ServerState;

// Lives on the server thread: accepts connections and owns one ClientConnection each.
class Listener : public QObject {
    Q_OBJECT
public:
    explicit Listener(std::shared_ptr<ServerState> state, QObject *parent = nullptr);

    // 0 when the port cannot be bound.
    quint16 listen(quint16 port);
    // Lets go of every connection held open without an answer.
    void release(Release how);

private:
    void accept();

    std::shared_ptr<ServerState> state_;
    QTcpServer *server_;
    quint16 nextSpid_ = 51;
};

} // namespace tdstest
