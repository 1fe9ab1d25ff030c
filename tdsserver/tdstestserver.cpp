#include "tdstestserver.h"

#include "listener.h"
#include "serverstate.h"

#include <QThread>

namespace tdstest {

TdsTestServer::TdsTestServer() : state_(std::make_shared<ServerState>()) {}

TdsTestServer::~TdsTestServer()
{
    if (!thread_)
        return;
    // Connections and running backups are children of the listener and go with it, on their own thread.
    QMetaObject::invokeMethod(
        listener_, [listener = listener_] { delete listener; }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
}

bool TdsTestServer::listen(quint16 port)
{
    if (thread_)
        return false;
    thread_ = std::make_unique<QThread>();
    thread_->setObjectName(QStringLiteral("tdstestserver"));
    listener_ = new Listener(state_);
    listener_->moveToThread(thread_.get());
    thread_->start();
    QMetaObject::invokeMethod(
        listener_, [this, port] { port_ = listener_->listen(port); }, Qt::BlockingQueuedConnection);
    return port_ != 0;
}

void TdsTestServer::addLogin(const QString &login, const QString &password)
{
    state_->addLogin(login, password);
}

void TdsTestServer::addDatabase(const QString &name)
{
    state_->addDatabase(name);
}

void TdsTestServer::removeDatabase(const QString &name)
{
    state_->removeDatabase(name);
}

void TdsTestServer::setBackupDuration(int ms)
{
    state_->changeBehaviour([ms](Behaviour &b) { b.backupDurationMs = ms; });
}

void TdsTestServer::setLoginDelay(int ms)
{
    state_->changeBehaviour([ms](Behaviour &b) { b.loginDelayMs = ms; });
}

void TdsTestServer::setSilent(bool silent)
{
    state_->changeBehaviour([silent](Behaviour &b) { b.silent = silent; });
}

void TdsTestServer::setDropDuringBackup(bool drop)
{
    state_->changeBehaviour([drop](Behaviour &b) { b.dropDuringBackup = drop; });
}

void TdsTestServer::setErrorAfterProgress(bool fail)
{
    state_->changeBehaviour([fail](Behaviour &b) { b.errorAfterProgress = fail; });
}

void TdsTestServer::setMoreResultsOnDone(bool more)
{
    state_->changeBehaviour([more](Behaviour &b) { b.moreResultsOnDone = more; });
}

void TdsTestServer::setDamagedBackups(bool damaged)
{
    state_->changeBehaviour([damaged](Behaviour &b) { b.damagedBackups = damaged; });
}

void TdsTestServer::setBackupAccessDenied(bool denied)
{
    state_->changeBehaviour([denied](Behaviour &b) { b.backupAccessDenied = denied; });
}

void TdsTestServer::setEmptyBackups(bool empty)
{
    state_->changeBehaviour([empty](Behaviour &b) { b.emptyBackups = empty; });
}

void TdsTestServer::setVerifyAccessDenied(bool denied)
{
    state_->changeBehaviour([denied](Behaviour &b) { b.verifyAccessDenied = denied; });
}

void TdsTestServer::setDataFolder(const QString &folder)
{
    state_->changeBehaviour([folder](Behaviour &b) { b.dataFolder = folder; });
}

void TdsTestServer::setVolumeFreeBytes(qint64 bytes)
{
    state_->changeBehaviour([bytes](Behaviour &b) { b.volumeFreeBytes = bytes; });
}

void TdsTestServer::setVolumeStatsDenied(bool denied)
{
    state_->changeBehaviour([denied](Behaviour &b) { b.volumeStatsDenied = denied; });
}

void TdsTestServer::setCreateDatabaseDenied(bool denied)
{
    state_->changeBehaviour([denied](Behaviour &b) { b.createDatabaseDenied = denied; });
}

void TdsTestServer::setRestoreReadFails(bool fail)
{
    state_->changeBehaviour([fail](Behaviour &b) { b.restoreReadFails = fail; });
}

void TdsTestServer::setDamage(Damage damage)
{
    state_->changeBehaviour([damage](Behaviour &b) { b.damage = damage; });
}

void TdsTestServer::setDropFails(bool fail)
{
    state_->changeBehaviour([fail](Behaviour &b) { b.dropFails = fail; });
}

void TdsTestServer::setDropDuringLogin(LoginDrop when)
{
    state_->changeBehaviour([when](Behaviour &b) { b.loginDrop = when; });
}

void TdsTestServer::setGarbageInstead(Answer answer)
{
    state_->changeBehaviour([answer](Behaviour &b) { b.garbageInstead = answer; });
}

void TdsTestServer::setLengthLie(LengthLie lie, Answer answer)
{
    state_->changeBehaviour([lie, answer](Behaviour &b) {
        b.lengthLie = lie;
        b.lengthLieIn = lie == LengthLie::None ? Answer::None : answer;
    });
}

void TdsTestServer::setLongMessage(LongMessage kind)
{
    state_->changeBehaviour([kind](Behaviour &b) { b.longMessage = kind; });
}

void TdsTestServer::setStallDuringBackup(bool stall)
{
    state_->changeBehaviour([stall](Behaviour &b) { b.stallDuringBackup = stall; });
}

void TdsTestServer::release(Release how)
{
    if (thread_)
        QMetaObject::invokeMethod(
            listener_, [this, how] { listener_->release(how); }, Qt::BlockingQueuedConnection);
}

void TdsTestServer::setEventLog(std::function<void(const QString &)> log)
{
    state_->setEventLog(std::move(log));
}

QList<LoginRecord> TdsTestServer::logins() const
{
    return state_->logins();
}

QStringList TdsTestServer::batches() const
{
    return state_->batches();
}

QList<AbortRecord> TdsTestServer::abortedBackups() const
{
    return state_->abortedBackups();
}

QStringList TdsTestServer::writtenBackups() const
{
    return state_->writtenBackups();
}

QStringList TdsTestServer::databases() const
{
    return state_->databases();
}

int TdsTestServer::attentionCount() const
{
    return state_->attentionCount();
}

int TdsTestServer::heldConnections() const
{
    return state_->heldConnections();
}

} // namespace tdstest
