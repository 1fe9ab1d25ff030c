#include "serverstate.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

// Login and database names follow a case-insensitive default collation; passwords do not.
QString nameKey(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

ServerState::ServerState() : m_databases{u"master"_s, u"model"_s, u"msdb"_s, u"tempdb"_s} {}

void ServerState::addLogin(const QString &login, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    m_passwords.insert(nameKey(login), password);
}

bool ServerState::passwordMatches(const QString &login, const QString &password) const
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_passwords.constFind(nameKey(login));
    return found != m_passwords.constEnd() && *found == password;
}

void ServerState::addDatabase(const QString &name)
{
    QMutexLocker lock(&m_mutex);
    m_databases.append(name);
}

std::optional<QString> ServerState::findDatabase(const QString &name) const
{
    QMutexLocker lock(&m_mutex);
    for (const QString &database : m_databases) {
        if (nameKey(database) == nameKey(name))
            return database;
    }
    return std::nullopt;
}

Behaviour ServerState::behaviour() const
{
    QMutexLocker lock(&m_mutex);
    return m_behaviour;
}

void ServerState::changeBehaviour(const std::function<void(Behaviour &)> &change)
{
    QMutexLocker lock(&m_mutex);
    change(m_behaviour);
}

void ServerState::setEventLog(std::function<void(const QString &)> log)
{
    QMutexLocker lock(&m_mutex);
    m_log = std::move(log);
}

void ServerState::recordLogin(const LoginRecord &login)
{
    {
        QMutexLocker lock(&m_mutex);
        m_logins.append(login);
    }
    log(u"login user='%1' database='%2' app='%3' host='%4' tds=0x%5"_s.arg(
        login.userName, login.database, login.appName, login.hostName,
        QString::number(login.tdsVersion, 16)));
}

void ServerState::recordBatch(const QString &text)
{
    {
        QMutexLocker lock(&m_mutex);
        m_batches.append(text);
    }
    log(u"batch: "_s + text);
}

void ServerState::recordAbort(const AbortRecord &abort)
{
    {
        QMutexLocker lock(&m_mutex);
        m_aborted.append(abort);
    }
    log(u"backup of '%1' to '%2' aborted by the client"_s.arg(abort.database, abort.path));
}

void ServerState::recordWrittenBackup(const QString &path)
{
    {
        QMutexLocker lock(&m_mutex);
        m_written.append(path);
    }
    log(u"backup written: "_s + path);
}

void ServerState::recordAttention()
{
    {
        QMutexLocker lock(&m_mutex);
        ++m_attentions;
    }
    log(u"attention"_s);
}

void ServerState::recordHold()
{
    {
        QMutexLocker lock(&m_mutex);
        ++m_held;
    }
    log(u"connection held: nothing more is sent"_s);
}

void ServerState::recordHoldEnded()
{
    {
        QMutexLocker lock(&m_mutex);
        --m_held;
    }
    log(u"held connection let go"_s);
}

QList<LoginRecord> ServerState::logins() const
{
    QMutexLocker lock(&m_mutex);
    return m_logins;
}

QStringList ServerState::batches() const
{
    QMutexLocker lock(&m_mutex);
    return m_batches;
}

QList<AbortRecord> ServerState::abortedBackups() const
{
    QMutexLocker lock(&m_mutex);
    return m_aborted;
}

QStringList ServerState::writtenBackups() const
{
    QMutexLocker lock(&m_mutex);
    return m_written;
}

int ServerState::attentionCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_attentions;
}

int ServerState::heldConnections() const
{
    QMutexLocker lock(&m_mutex);
    return m_held;
}

void ServerState::log(const QString &line) const
{
    std::function<void(const QString &)> sink;
    {
        QMutexLocker lock(&m_mutex);
        sink = m_log;
    }
    if (sink)
        sink(line);
}

} // namespace tdstest
