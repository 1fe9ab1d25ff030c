#include "clientconnection.h"

#include "backupsession.h"
#include "faultbytes.h"
#include "loginanswer.h"
#include "prelogin.h"
#include "requestdecoder.h"
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
constexpr quint32 OldestTdsVersion = 0x72090002;

} // namespace

ClientConnection::ClientConnection(QTcpSocket *socket, std::shared_ptr<ServerState> state, quint16 spid,
                                   QObject *parent)
    : QObject(parent), m_socket(socket), m_state(std::move(state)), m_writer(spid)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &ClientConnection::readIncoming);
    connect(socket, &QTcpSocket::disconnected, this, &ClientConnection::clientGone);
}

ClientConnection::~ClientConnection()
{
    disconnect(m_socket, nullptr, this, nullptr);
    delete m_backup;
    if (m_held)
        m_state->recordHoldEnded();
}

void ClientConnection::readIncoming()
{
    const QByteArray bytes = m_socket->readAll();
    if (m_closed || m_held || m_state->behaviour().silent)
        return;
    m_reader.feed(bytes);
    while (!m_closed) {
        const auto message = m_reader.next();
        if (!message)
            break;
        if (message->type == PacketType::Attention)
            handleAttention();
        else if (m_busy)
            m_queued.append(*message);
        else
            handle(*message);
    }
    if (m_reader.broken())
        closeConnection();
}

void ClientConnection::handle(const TdsMessage &message)
{
    switch (message.type) {
    case PacketType::Prelogin:
        if (m_phase != Phase::Prelogin)
            return closeConnection();
        m_phase = Phase::Login;
        send(preloginResponse(), true);
        if (m_state->behaviour().loginDrop == LoginDrop::AfterPrelogin)
            closeConnection();
        return;
    case PacketType::Login7:
        if (m_phase == Phase::LoggedIn)
            return closeConnection();
        return handleLogin(message.payload);
    default:
        break;
    }
    if (m_phase != Phase::LoggedIn)
        return closeConnection();
    switch (message.type) {
    case PacketType::SqlBatch:
        return handleBatch(message.payload);
    case PacketType::Rpc:
        m_state->recordBatch(rpcDescription(message.payload));
        return send(TokenWriter().returnStatus(0).doneProc(DoneFinal).bytes(), true);
    case PacketType::TransactionManager:
        m_state->recordBatch(u"transaction manager request"_s);
        return send(TokenWriter().done(DoneFinal).bytes(), true);
    default:
        return closeConnection();
    }
}

void ClientConnection::handleLogin(const QByteArray &payload)
{
    const auto request = decodeLogin7(payload);
    if (!request)
        return closeConnection();
    m_state->recordLogin(request->fields);
    if (request->fields.tdsVersion < OldestTdsVersion ||
        m_state->behaviour().loginDrop == LoginDrop::OnLogin7)
        return closeConnection();
    const int delay = m_state->behaviour().loginDelayMs;
    if (delay <= 0)
        return finishLogin(*request);
    m_busy = true;
    QTimer::singleShot(delay, this, [this, login = *request] { finishLogin(login); });
}

void ClientConnection::finishLogin(const Login7Request &request)
{
    if (m_state->behaviour().garbageInstead == Answer::Login)
        return sendGarbage();
    const LoginAnswer answer = answerLogin(request, *m_state);
    send(answer.tokens, true, Answer::Login);
    if (m_held)
        return;
    if (!answer.accepted)
        return closeConnection();
    m_writer.setPacketSize(answer.packetSize);
    m_phase = Phase::LoggedIn;
    becomeIdle();
}

void ClientConnection::handleBatch(const QByteArray &payload)
{
    const QString text = batchText(payload);
    m_state->recordBatch(text);
    if (BackupStatementParser::isBackup(text))
        startBackup(text);
    else if (isRestore(text))
        verify(text);
    else
        send(TokenWriter().done(DoneFinal).bytes(), true);
}

void ClientConnection::verify(const QString &text)
{
    const VerifyParse parse = parseVerify(text);
    if (!parse.path)
        return sendFinal(parse.errors, DoneError, Answer::None);
    const QList<ServerMessage> messages = verifyBackup(*parse.path);
    const bool valid = messages.constLast().severity <= HighestInfoSeverity;
    sendFinal(messages, valid ? DoneFinal : DoneError, Answer::None);
}

void ClientConnection::startBackup(const QString &text)
{
    if (m_state->behaviour().garbageInstead == Answer::Backup)
        return sendGarbage();
    const BackupParse parse = BackupStatementParser::parse(text);
    if (!parse.statement)
        return sendFinal(parse.errors, DoneError);
    BackupStatement statement = *parse.statement;
    const auto database = m_state->findDatabase(statement.database);
    if (!database) {
        const QString missing =
            u"Database '%1' does not exist. Make sure that the name is entered correctly."_s;
        return sendFinal({{911, 1, ErrorSeverity, missing.arg(statement.database)}, backupTerminated()},
                         DoneError);
    }
    if (database->compare(u"tempdb", Qt::CaseInsensitive) == 0) {
        const QString refused = u"Backup and restore operations are not allowed on database tempdb."_s;
        return sendFinal({{3147, 1, ErrorSeverity, refused}, backupTerminated()}, DoneError);
    }
    statement.database = *database;
    auto *session = new BackupSession(statement, m_state->behaviour(), this);
    const QList<ServerMessage> openErrors = session->open();
    if (!openErrors.isEmpty()) {
        delete session;
        return sendFinal(openErrors, DoneError);
    }
    m_backup = session;
    m_busy = true;
    connect(session, &BackupSession::progress, this, &ClientConnection::sendProgress);
    connect(session, &BackupSession::completed, this, [this](const QList<ServerMessage> &messages) {
        m_state->recordWrittenBackup(m_backup->statement().path);
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
    if (message.number == PercentProcessed || m_state->behaviour().moreResultsOnDone)
        tokens.done(DoneMore);
    send(tokens.bytes(), false);
    if (m_state->behaviour().stallDuringBackup && !m_released) {
        m_backup->pause();
        return hold();
    }
    if (!m_state->behaviour().dropDuringBackup)
        return;
    endBackup();
    closeConnection();
}

void ClientConnection::finishBackup(const QList<ServerMessage> &messages, bool success)
{
    m_backup->deleteLater();
    m_backup = nullptr;
    sendFinal(messages, success ? DoneFinal : DoneError);
    if (!m_held)
        becomeIdle();
}

void ClientConnection::sendFinal(const QList<ServerMessage> &messages, quint16 status, Answer answer)
{
    const bool more = m_state->behaviour().moreResultsOnDone;
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
    m_state->recordAttention();
    m_queued.clear();
    const bool backupRunning = m_backup;
    if (backupRunning) {
        m_state->recordAbort({m_backup->statement().database, m_backup->statement().path});
        endBackup();
    }
    send(TokenWriter().done(DoneAttention).bytes(), true);
    if (backupRunning)
        becomeIdle();
}

void ClientConnection::send(const QByteArray &tokens, bool endOfMessage, Answer answer)
{
    const QByteArray packets = m_writer.frame(PacketType::TabularResult, tokens, endOfMessage);
    const Behaviour behaviour = m_state->behaviour();
    if (answer == Answer::None || behaviour.lengthLieIn != answer) {
        m_socket->write(packets);
        return;
    }
    m_socket->write(lieAboutLength(packets, behaviour.lengthLie));
    // Out of step with the server, the client waits for bytes that never come: either the rest of the
    // lying packet or the rest of the one its leftover bytes seem to start.
    hold();
}

void ClientConnection::sendGarbage()
{
    m_socket->write(garbageBytes());
    hold();
}

// The socket stays open and nothing more is sent or read until the test lets go.
void ClientConnection::hold()
{
    m_held = true;
    m_state->recordHold();
}

void ClientConnection::release(Release how)
{
    if (!m_held)
        return;
    m_held = false;
    m_released = true;
    m_state->recordHoldEnded();
    if (how == Release::Resume && m_backup)
        return m_backup->resume();
    if (m_backup)
        endBackup();
    closeConnection();
}

void ClientConnection::endBackup()
{
    m_backup->abort();
    m_backup->deleteLater();
    m_backup = nullptr;
}

void ClientConnection::becomeIdle()
{
    m_busy = false;
    while (!m_busy && !m_closed && !m_queued.isEmpty())
        handle(m_queued.takeFirst());
}

void ClientConnection::closeConnection()
{
    m_closed = true;
    m_socket->disconnectFromHost();
}

void ClientConnection::clientGone()
{
    if (m_backup) {
        m_state->recordAbort({m_backup->statement().database, m_backup->statement().path});
        m_backup->abort();
    }
    deleteLater();
}

} // namespace tdstest
