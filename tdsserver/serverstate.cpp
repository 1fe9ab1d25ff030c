#include "serverstate.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

// Login and database names follow a case-insensitive default collation; passwords do not.
QString NameKey(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

ServerState::ServerState() : databases_{u"master"_s, u"model"_s, u"msdb"_s, u"tempdb"_s} {}

void ServerState::addLogin(const QString &login, const QString &password)
{
    QMutexLocker lock(&mutex_);
    passwords_.insert(NameKey(login), password);
}

bool ServerState::passwordMatches(const QString &login, const QString &password) const
{
    QMutexLocker lock(&mutex_);
    const auto found = passwords_.constFind(NameKey(login));
    return found != passwords_.constEnd() && *found == password;
}

void ServerState::addDatabase(const QString &name)
{
    QMutexLocker lock(&mutex_);
    databases_.append(name);
}

void ServerState::removeDatabase(const QString &name)
{
    QMutexLocker lock(&mutex_);
    databases_.removeIf([&](const QString &database) { return NameKey(database) == NameKey(name); });
}

std::optional<QString> ServerState::findDatabase(const QString &name) const
{
    QMutexLocker lock(&mutex_);
    for (const QString &database : databases_) {
        if (NameKey(database) == NameKey(name))
            return database;
    }
    return std::nullopt;
}

QStringList ServerState::databases() const
{
    QMutexLocker lock(&mutex_);
    return databases_;
}

void ServerState::addRestoredDatabase(const QString &name, const QStringList &files)
{
    QMutexLocker lock(&mutex_);
    databases_.append(name);
    restoredFiles_.insert(NameKey(name), files);
}

QStringList ServerState::takeRestoredFiles(const QString &name)
{
    QMutexLocker lock(&mutex_);
    return restoredFiles_.take(NameKey(name));
}

Behaviour ServerState::behaviour() const
{
    QMutexLocker lock(&mutex_);
    return behaviour_;
}

void ServerState::changeBehaviour(const std::function<void(Behaviour &)> &change)
{
    QMutexLocker lock(&mutex_);
    change(behaviour_);
}

void ServerState::setEventLog(std::function<void(const QString &)> log)
{
    QMutexLocker lock(&mutex_);
    log_ = std::move(log);
}

void ServerState::recordLogin(const LoginRecord &login)
{
    {
        QMutexLocker lock(&mutex_);
        logins_.append(login);
    }
    log(u"login user='%1' database='%2' app='%3' host='%4' tds=0x%5"_s.arg(
        login.userName, login.database, login.appName, login.hostName,
        QString::number(login.tdsVersion, 16)));
}

void ServerState::recordBatch(const QString &text)
{
    {
        QMutexLocker lock(&mutex_);
        batches_.append(text);
    }
    log(u"batch: "_s + text);
}

void ServerState::recordAbort(const AbortRecord &abort)
{
    {
        QMutexLocker lock(&mutex_);
        aborted_.append(abort);
    }
    log(u"backup of '%1' to '%2' aborted by the client"_s.arg(abort.database, abort.path));
}

void ServerState::recordWrittenBackup(const QString &path)
{
    {
        QMutexLocker lock(&mutex_);
        written_.append(path);
    }
    log(u"backup written: "_s + path);
}

void ServerState::recordAttention()
{
    {
        QMutexLocker lock(&mutex_);
        ++attentions_;
    }
    log(u"attention"_s);
}

void ServerState::recordHold()
{
    {
        QMutexLocker lock(&mutex_);
        ++held_;
    }
    log(u"connection held: nothing more is sent"_s);
}

void ServerState::recordHoldEnded()
{
    {
        QMutexLocker lock(&mutex_);
        --held_;
    }
    log(u"held connection let go"_s);
}

QList<LoginRecord> ServerState::logins() const
{
    QMutexLocker lock(&mutex_);
    return logins_;
}

QStringList ServerState::batches() const
{
    QMutexLocker lock(&mutex_);
    return batches_;
}

QList<AbortRecord> ServerState::abortedBackups() const
{
    QMutexLocker lock(&mutex_);
    return aborted_;
}

QStringList ServerState::writtenBackups() const
{
    QMutexLocker lock(&mutex_);
    return written_;
}

int ServerState::attentionCount() const
{
    QMutexLocker lock(&mutex_);
    return attentions_;
}

int ServerState::heldConnections() const
{
    QMutexLocker lock(&mutex_);
    return held_;
}

void ServerState::log(const QString &line) const
{
    std::function<void(const QString &)> sink;
    {
        QMutexLocker lock(&mutex_);
        sink = log_;
    }
    if (sink)
        sink(line);
}

} // namespace tdstest
