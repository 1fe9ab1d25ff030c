#pragma once

#include "backupmarker.h"
#include "records.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QThread;

namespace tdstest {

class Listener;
class ServerState;

// A TDS server on 127.0.0.1 for tests: answers logins and BACKUP DATABASE, writes the backup
// file itself, and can be told to misbehave. Its sockets run on a thread of their own.
class TdsTestServer {
public:
    TdsTestServer();
    ~TdsTestServer();
    TdsTestServer(const TdsTestServer &) = delete;
    TdsTestServer &operator=(const TdsTestServer &) = delete;

    // 127.0.0.1 only; port 0 picks a free one. False when the port cannot be bound or already listening.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_port; }

    void addLogin(const QString &login, const QString &password);
    // Compared without case; master, model, msdb and tempdb always exist.
    void addDatabase(const QString &name);

    void setBackupDuration(int ms);
    void setLoginDelay(int ms);
    void setSilent(bool silent);
    void setDropDuringBackup(bool drop);
    void setErrorAfterProgress(bool fail);
    void setMoreResultsOnDone(bool more);
    // Called on the server thread with one line per login, batch, attention and backup outcome.
    void setEventLog(std::function<void(const QString &)> log);

    QList<LoginRecord> logins() const;
    QStringList batches() const;
    QList<AbortRecord> abortedBackups() const;
    QStringList writtenBackups() const;
    int attentionCount() const;

private:
    std::shared_ptr<ServerState> m_state;
    std::unique_ptr<QThread> m_thread;
    Listener *m_listener = nullptr;
    quint16 m_port = 0;
};

} // namespace tdstest
