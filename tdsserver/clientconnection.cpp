#include "clientconnection.h"

#include "backupsession.h"
#include "faultbytes.h"
#include "loginanswer.h"
#include "prelogin.h"
#include "requestdecoder.h"
#include "restorework.h"
#include "serverqueries.h"
#include "serverstate.h"
#include "tokenwriter.h"
#include "verifybackup.h"
#include "verifystatement.h"

#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

// The token layouts written here (8-byte row counts, 4-byte line numbers) start with TDS 7.2.
constexpr quint32 kOldestTdsVersion = 0x72090002;

} // namespace

ClientConnection::ClientConnection(QTcpSocket *socket, std::shared_ptr<ServerState> state, quint16 spid,
                                   QObject *parent)
    : QObject(parent), socket_(socket), state_(std::move(state)), writer_(spid)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &ClientConnection::readIncoming);
    connect(socket, &QTcpSocket::disconnected, this, &ClientConnection::clientGone);
}

ClientConnection::~ClientConnection()
{
    disconnect(socket_, nullptr, this, nullptr);
    delete backup_;
    if (held_)
        state_->recordHoldEnded();
}

void ClientConnection::readIncoming()
{
    const QByteArray bytes = socket_->readAll();
    // A stalled backup still hears the client, as SQL Server does: an ATTENTION ends it.
    if (closed_ || (held_ && !stalled_) || state_->behaviour().silent)
        return;
    reader_.feed(bytes);
    while (!closed_) {
        const auto message = reader_.next();
        if (!message)
            break;
        if (message->type == PacketType::Attention)
            handleAttention();
        else if (busy_)
            queued_.append(*message);
        else
            handle(*message);
    }
    if (reader_.broken())
        closeConnection();
}

void ClientConnection::handle(const TdsMessage &message)
{
    switch (message.type) {
    case PacketType::Prelogin:
        if (phase_ != Phase::Prelogin)
            return closeConnection();
        phase_ = Phase::Login;
        send(PreloginResponse(), true);
        if (state_->behaviour().loginDrop == LoginDrop::AfterPrelogin)
            closeConnection();
        return;
    case PacketType::Login7:
        if (phase_ == Phase::LoggedIn)
            return closeConnection();
        return handleLogin(message.payload);
    default:
        break;
    }
    if (phase_ != Phase::LoggedIn)
        return closeConnection();
    switch (message.type) {
    case PacketType::SqlBatch:
        return handleBatch(message.payload);
    case PacketType::Rpc:
        state_->recordBatch(RpcDescription(message.payload));
        return send(TokenWriter().returnStatus(0).doneProc(DoneFinal).bytes(), true);
    case PacketType::TransactionManager:
        state_->recordBatch(u"transaction manager request"_s);
        return send(TokenWriter().done(DoneFinal).bytes(), true);
    default:
        return closeConnection();
    }
}

void ClientConnection::handleLogin(const QByteArray &payload)
{
    const auto request = DecodeLogin7(payload);
    if (!request)
        return closeConnection();
    state_->recordLogin(request->fields);
    if (request->fields.tdsVersion < kOldestTdsVersion ||
        state_->behaviour().loginDrop == LoginDrop::OnLogin7)
        return closeConnection();
    const int delay = state_->behaviour().loginDelayMs;
    if (delay <= 0)
        return finishLogin(*request);
    busy_ = true;
    QTimer::singleShot(delay, this, [this, login = *request] { finishLogin(login); });
}

void ClientConnection::finishLogin(const Login7Request &request)
{
    if (state_->behaviour().garbageInstead == Answer::Login)
        return sendGarbage();
    const LoginAnswer answer = AnswerLogin(request, *state_);
    send(answer.tokens, true, Answer::Login);
    if (held_)
        return;
    if (!answer.accepted)
        return closeConnection();
    writer_.setPacketSize(answer.packetSize);
    phase_ = Phase::LoggedIn;
    becomeIdle();
}

void ClientConnection::handleBatch(const QByteArray &payload)
{
    const QString text = BatchText(payload);
    state_->recordBatch(text);
    if (BackupStatementParser::isBackup(text))
        startBackup(text);
    else if (auto reply = AnswerRestoreWork(text, *state_))
        sendReply(*reply);
    else if (auto rows = AnswerQuery(text, *state_))
        sendReply(*rows);
    else if (IsRestore(text))
        verify(text);
    else
        send(TokenWriter().done(DoneFinal).bytes(), true);
}

void ClientConnection::verify(const QString &text)
{
    const VerifyParse parse = ParseVerify(text);
    if (!parse.path)
        return sendFinal(parse.errors, DoneError, Answer::None);
    const QList<ServerMessage> messages = VerifyBackup(*parse.path, state_->behaviour().verifyAccessDenied);
    const bool valid = messages.constLast().severity <= kHighestInfoSeverity;
    sendFinal(messages, valid ? DoneFinal : DoneError, Answer::None);
}

// Progress is spread over the backup duration, each message flushed on its own as SQL Server does; an
// ATTENTION in between ends the reply.
void ClientConnection::sendReply(const WorkReply &reply)
{
    if (reply.progress.isEmpty())
        return finishReply(reply);
    busy_ = true;
    replying_ = true;
    const int step = state_->behaviour().backupDurationMs / int(reply.progress.size());
    sendReplyProgress(reply, 0, step, replyRun_);
}

void ClientConnection::sendReplyProgress(const WorkReply &reply, qsizetype next, int stepMs, int run)
{
    if (run != replyRun_ || closed_)
        return;
    send(TokenWriter().message(reply.progress.at(next)).done(DoneMore).bytes(), false);
    QTimer::singleShot(stepMs, this, [this, reply, next, stepMs, run] {
        if (next + 1 < reply.progress.size())
            return sendReplyProgress(reply, next + 1, stepMs, run);
        if (run != replyRun_ || closed_)
            return;
        replying_ = false;
        finishReply(reply);
        becomeIdle();
    });
}

void ClientConnection::finishReply(const WorkReply &reply)
{
    const quint16 status = reply.failed ? DoneError : DoneFinal;
    TokenWriter tokens;
    for (const ServerMessage &message : reply.messages)
        tokens.message(message);
    if (!reply.columns.isEmpty())
        tokens.resultSet(reply.columns, reply.rows, status);
    else
        tokens.done(status);
    send(tokens.bytes(), true);
}

void ClientConnection::startBackup(const QString &text)
{
    if (state_->behaviour().garbageInstead == Answer::Backup)
        return sendGarbage();
    const BackupParse parse = BackupStatementParser::parse(text);
    if (!parse.statement)
        return sendFinal(parse.errors, DoneError);
    BackupStatement statement = *parse.statement;
    const auto database = state_->findDatabase(statement.database);
    if (!database) {
        const QString missing =
            u"Database '%1' does not exist. Make sure that the name is entered correctly."_s;
        return sendFinal({{911, 1, kErrorSeverity, missing.arg(statement.database)}, BackupTerminated()},
                         DoneError);
    }
    if (database->compare(u"tempdb", Qt::CaseInsensitive) == 0) {
        const QString refused = u"Backup and restore operations are not allowed on database tempdb."_s;
        return sendFinal({{3147, 1, kErrorSeverity, refused}, BackupTerminated()}, DoneError);
    }
    statement.database = *database;
    auto *session = new BackupSession(statement, state_->behaviour(), this);
    const QList<ServerMessage> openErrors = session->open();
    if (!openErrors.isEmpty()) {
        delete session;
        return sendFinal(openErrors, DoneError);
    }
    backup_ = session;
    busy_ = true;
    connect(session, &BackupSession::progress, this, &ClientConnection::sendProgress);
    connect(session, &BackupSession::completed, this, [this](const QList<ServerMessage> &messages) {
        state_->recordWrittenBackup(backup_->statement().path);
        finishBackup(messages, true);
    });
    connect(session, &BackupSession::failed, this,
            [this](const QList<ServerMessage> &errors) { finishBackup(errors, false); });
    session->start();
}

// SQL Server flushes each progress message in a packet of its own, before the batch is done.
void ClientConnection::sendProgress(const ServerMessage &message)
{
    TokenWriter tokens;
    tokens.message(message);
    if (message.number == kPercentProcessed || state_->behaviour().moreResultsOnDone)
        tokens.done(DoneMore);
    send(tokens.bytes(), false);
    if (state_->behaviour().stallDuringBackup && !released_) {
        backup_->pause();
        stalled_ = true;
        return hold();
    }
    if (!state_->behaviour().dropDuringBackup)
        return;
    endBackup();
    closeConnection();
}

void ClientConnection::finishBackup(const QList<ServerMessage> &messages, bool success)
{
    backup_->deleteLater();
    backup_ = nullptr;
    sendFinal(messages, success ? DoneFinal : DoneError);
    if (!held_)
        becomeIdle();
}

void ClientConnection::sendFinal(const QList<ServerMessage> &messages, quint16 status, Answer answer)
{
    const bool more = state_->behaviour().moreResultsOnDone;
    TokenWriter tokens;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        tokens.message(messages.at(i));
        if (more && i + 1 < messages.size())
            tokens.done(status | DoneMore);
    }
    send(tokens.done(status).bytes(), true, answer);
}

// An attention is acknowledged by a DONE with the attention bit, whether or not work was running.
void ClientConnection::handleAttention()
{
    state_->recordAttention();
    if (std::exchange(stalled_, false)) {
        held_ = false;
        state_->recordHoldEnded();
    }
    queued_.clear();
    const bool replying = std::exchange(replying_, false);
    ++replyRun_;
    const bool backupRunning = backup_;
    if (backupRunning) {
        state_->recordAbort({backup_->statement().database, backup_->statement().path});
        endBackup();
    }
    send(TokenWriter().done(DoneAttention).bytes(), true);
    if (backupRunning || replying)
        becomeIdle();
}

void ClientConnection::send(const QByteArray &tokens, bool endOfMessage, Answer answer)
{
    const QByteArray packets = writer_.frame(PacketType::TabularResult, tokens, endOfMessage);
    const Behaviour behaviour = state_->behaviour();
    if (answer == Answer::None || behaviour.lengthLieIn != answer) {
        socket_->write(packets);
        return;
    }
    socket_->write(LieAboutLength(packets, behaviour.lengthLie));
    // Out of step with the server, the client waits for bytes that never come: either the rest of the
    // lying packet or the rest of the one its leftover bytes seem to start.
    hold();
}

void ClientConnection::sendGarbage()
{
    socket_->write(GarbageBytes());
    hold();
}

// The socket stays open and nothing more is sent or read until the test lets go.
void ClientConnection::hold()
{
    held_ = true;
    state_->recordHold();
}

void ClientConnection::release(Release how)
{
    if (!held_)
        return;
    held_ = false;
    stalled_ = false;
    released_ = true;
    state_->recordHoldEnded();
    if (how == Release::Resume && backup_)
        return backup_->resume();
    if (backup_)
        endBackup();
    closeConnection();
}

void ClientConnection::endBackup()
{
    backup_->abort();
    backup_->deleteLater();
    backup_ = nullptr;
}

void ClientConnection::becomeIdle()
{
    busy_ = false;
    while (!busy_ && !closed_ && !queued_.isEmpty())
        handle(queued_.takeFirst());
}

void ClientConnection::closeConnection()
{
    closed_ = true;
    socket_->disconnectFromHost();
}

void ClientConnection::clientGone()
{
    if (backup_) {
        state_->recordAbort({backup_->statement().database, backup_->statement().path});
        backup_->abort();
    }
    deleteLater();
}

} // namespace tdstest
