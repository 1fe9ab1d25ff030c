#include "tdstestserver.h"

#include "listener.h"
#include "serverstate.h"

#include <QThread>

namespace tdstest {

TdsTestServer::TdsTestServer() : m_state(std::make_shared<ServerState>()) {}

TdsTestServer::~TdsTestServer()
{
    if (!m_thread)
        return;
    // Connections and running backups are children of the listener and go with it, on their own thread.
    QMetaObject::invokeMethod(
        m_listener, [listener = m_listener] { delete listener; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

bool TdsTestServer::listen(quint16 port)
{
    if (m_thread)
        return false;
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("tdstestserver"));
    m_listener = new Listener(m_state);
    m_listener->moveToThread(m_thread.get());
    m_thread->start();
    QMetaObject::invokeMethod(
        m_listener, [this, port] { m_port = m_listener->listen(port); }, Qt::BlockingQueuedConnection);
    return m_port != 0;
}

void TdsTestServer::addLogin(const QString &login, const QString &password)
{
    m_state->addLogin(login, password);
}

void TdsTestServer::addDatabase(const QString &name)
{
    m_state->addDatabase(name);
}

void TdsTestServer::setBackupDuration(int ms)
{
    m_state->changeBehaviour([ms](Behaviour &b) { b.backupDurationMs = ms; });
}

void TdsTestServer::setLoginDelay(int ms)
{
    m_state->changeBehaviour([ms](Behaviour &b) { b.loginDelayMs = ms; });
}

void TdsTestServer::setSilent(bool silent)
{
    m_state->changeBehaviour([silent](Behaviour &b) { b.silent = silent; });
}

void TdsTestServer::setDropDuringBackup(bool drop)
{
    m_state->changeBehaviour([drop](Behaviour &b) { b.dropDuringBackup = drop; });
}

void TdsTestServer::setErrorAfterProgress(bool fail)
{
    m_state->changeBehaviour([fail](Behaviour &b) { b.errorAfterProgress = fail; });
}

void TdsTestServer::setMoreResultsOnDone(bool more)
{
    m_state->changeBehaviour([more](Behaviour &b) { b.moreResultsOnDone = more; });
}

void TdsTestServer::setDamagedBackups(bool damaged)
{
    m_state->changeBehaviour([damaged](Behaviour &b) { b.damagedBackups = damaged; });
}

void TdsTestServer::setBackupAccessDenied(bool denied)
{
    m_state->changeBehaviour([denied](Behaviour &b) { b.backupAccessDenied = denied; });
}

void TdsTestServer::setDropDuringLogin(LoginDrop when)
{
    m_state->changeBehaviour([when](Behaviour &b) { b.loginDrop = when; });
}

void TdsTestServer::setGarbageInstead(Answer answer)
{
    m_state->changeBehaviour([answer](Behaviour &b) { b.garbageInstead = answer; });
}

void TdsTestServer::setLengthLie(LengthLie lie, Answer answer)
{
    m_state->changeBehaviour([lie, answer](Behaviour &b) {
        b.lengthLie = lie;
        b.lengthLieIn = lie == LengthLie::None ? Answer::None : answer;
    });
}

void TdsTestServer::setLongMessage(LongMessage kind)
{
    m_state->changeBehaviour([kind](Behaviour &b) { b.longMessage = kind; });
}

void TdsTestServer::setStallDuringBackup(bool stall)
{
    m_state->changeBehaviour([stall](Behaviour &b) { b.stallDuringBackup = stall; });
}

void TdsTestServer::release(Release how)
{
    if (m_thread)
        QMetaObject::invokeMethod(
            m_listener, [this, how] { m_listener->release(how); }, Qt::BlockingQueuedConnection);
}

void TdsTestServer::setEventLog(std::function<void(const QString &)> log)
{
    m_state->setEventLog(std::move(log));
}

QList<LoginRecord> TdsTestServer::logins() const
{
    return m_state->logins();
}

QStringList TdsTestServer::batches() const
{
    return m_state->batches();
}

QList<AbortRecord> TdsTestServer::abortedBackups() const
{
    return m_state->abortedBackups();
}

QStringList TdsTestServer::writtenBackups() const
{
    return m_state->writtenBackups();
}

int TdsTestServer::attentionCount() const
{
    return m_state->attentionCount();
}

int TdsTestServer::heldConnections() const
{
    return m_state->heldConnections();
}

} // namespace tdstest
