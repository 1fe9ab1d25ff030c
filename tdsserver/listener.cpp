#include "listener.h"

#include "clientconnection.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace tdstest {

Listener::Listener(std::shared_ptr<ServerState> state, QObject *parent)
    : QObject(parent), state_(std::move(state)), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &Listener::accept);
}

quint16 Listener::listen(quint16 port)
{
    if (!server_->listen(QHostAddress::LocalHost, port))
        return 0;
    return server_->serverPort();
}

void Listener::release(Release how)
{
    for (ClientConnection *connection : findChildren<ClientConnection *>(Qt::FindDirectChildrenOnly))
        connection->release(how);
}

void Listener::accept()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        // Without it the last packet of an answer waits for the client's delayed acknowledgement (~40 ms),
        // which a measurement would count against the program.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        new ClientConnection(socket, state_, nextSpid_++, this);
    }
}

} // namespace tdstest
