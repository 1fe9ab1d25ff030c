#pragma once

#include "behaviour.h"
#include "records.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <functional>
#include <optional>

namespace tdstest {

// Everything the test thread and the server thread share; every member locks.
class ServerState {
public:
    ServerState();

    void addLogin(const QString &login, const QString &password);
    bool passwordMatches(const QString &login, const QString &password) const;
    void addDatabase(const QString &name);
    void removeDatabase(const QString &name);
    std::optional<QString> findDatabase(const QString &name) const;
    QStringList databases() const;
    // A database RESTORE created, with the files it wrote; dropping it takes them back.
    void addRestoredDatabase(const QString &name, const QStringList &files);
    QStringList takeRestoredFiles(const QString &name);

    Behaviour behaviour() const;
    void changeBehaviour(const std::function<void(Behaviour &)> &change);
    void setEventLog(std::function<void(const QString &)> log);

    void recordLogin(const LoginRecord &login);
    void recordBatch(const QString &text);
    void recordAbort(const AbortRecord &abort);
    void recordWrittenBackup(const QString &path);
    void recordAttention();
    void recordHold();
    void recordHoldEnded();

    QList<LoginRecord> logins() const;
    QStringList batches() const;
    QList<AbortRecord> abortedBackups() const;
    QStringList writtenBackups() const;
    int attentionCount() const;
    int heldConnections() const;

private:
    void log(const QString &line) const;

    mutable QMutex mutex_;
    QHash<QString, QString> passwords_;
    QStringList databases_;
    QHash<QString, QStringList> restoredFiles_;
    Behaviour behaviour_;
    std::function<void(const QString &)> log_;
    QList<LoginRecord> logins_;
    QStringList batches_;
    QList<AbortRecord> aborted_;
    QStringList written_;
    int attentions_ = 0;
    int held_ = 0;
};

} // namespace tdstest
