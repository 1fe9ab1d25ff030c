#pragma once

#include "behaviour.h"
#include "login7.h"
#include "packetreader.h"
#include "packetwriter.h"
#include "servermessage.h"
#include "workreply.h"

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

    // Ends a stall or a hold: see TdsTestServer::release.
    void release(Release how);

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
    // Stops the running backup and removes its partial file.
    void endBackup();
    void finishBackup(const QList<ServerMessage> &messages, bool success);
    void verify(const QString &text);
    void sendReply(const WorkReply &reply);
    void sendReplyProgress(const WorkReply &reply, qsizetype next, int stepMs, int run);
    void finishReply(const WorkReply &reply);
    void sendFinal(const QList<ServerMessage> &messages, quint16 status, Answer answer = Answer::Backup);
    void send(const QByteArray &tokens, bool endOfMessage, Answer answer = Answer::None);
    void sendGarbage();
    void hold();
    void becomeIdle();
    void closeConnection();
    void clientGone();

    QTcpSocket *socket_;
    std::shared_ptr<ServerState> state_;
    PacketReader reader_;
    PacketWriter writer_;
    Phase phase_ = Phase::Prelogin;
    bool busy_ = false;
    bool closed_ = false;
    bool held_ = false;
    bool stalled_ = false; // held in a backup that stopped, still reading the client's ATTENTION
    bool released_ = false;
    QList<TdsMessage> queued_;
    QPointer<BackupSession> backup_;
    bool replying_ = false;
    int replyRun_ = 0; // counts ATTENTIONs: a reply paced by timers stops at the next one
};

} // namespace tdstest
