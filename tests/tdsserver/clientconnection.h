#pragma once

#include "login7.h"
#include "packetreader.h"
#include "packetwriter.h"
#include "servermessage.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QTcpSocket;

namespace tdstest {

class BackupSession;
class ServerState;

// One client connection: PRELOGIN, LOGIN7, then requests until the client goes away.
class ClientConnection : public QObject {
    Q_OBJECT
public:
    ClientConnection(QTcpSocket *socket, std::shared_ptr<ServerState> state, quint16 spid,
                     QObject *parent = nullptr);
    ~ClientConnection() override;

private:
    enum class Phase { Prelogin, Login, LoggedIn };

    void readIncoming();
    void handle(const TdsMessage &message);
    void handleLogin(const QByteArray &payload);
    void finishLogin(const Login7Request &request);
    void handleBatch(const QByteArray &payload);
    void handleAttention();
    void startBackup(const QString &text);
    void sendProgress(const ServerMessage &message);
    void finishBackup(const QList<ServerMessage> &messages, bool success);
    void sendFinal(const QList<ServerMessage> &messages, quint16 status);
    void send(const QByteArray &tokens, bool endOfMessage);
    void becomeIdle();
    void closeConnection();
    void clientGone();

    QTcpSocket *m_socket;
    std::shared_ptr<ServerState> m_state;
    PacketReader m_reader;
    PacketWriter m_writer;
    Phase m_phase = Phase::Prelogin;
    bool m_busy = false;
    bool m_closed = false;
    QList<TdsMessage> m_queued;
    QPointer<BackupSession> m_backup;
};

} // namespace tdstest
