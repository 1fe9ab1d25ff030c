#include "listener.h"

#include "clientconnection.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace tdstest {

Listener::Listener(std::shared_ptr<ServerState> state, QObject *parent)
    : QObject(parent), m_state(std::move(state)), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &Listener::accept);
}

quint16 Listener::listen(quint16 port)
{
    if (!m_server->listen(QHostAddress::LocalHost, port))
        return 0;
    return m_server->serverPort();
}

void Listener::release(Release how)
{
    for (ClientConnection *connection : findChildren<ClientConnection *>(Qt::FindDirectChildrenOnly))
        connection->release(how);
}

void Listener::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // Without it the last packet of an answer waits for the client's delayed acknowledgement (~40 ms),
        // which a measurement would count against the program.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        new ClientConnection(socket, m_state, m_nextSpid++, this);
    }
}

} // namespace tdstest
