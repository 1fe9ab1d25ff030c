#pragma once

#include "backupmarker.h"
#include "behaviour.h"
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

// A TDS server on 127.0.0.1 for tests: answers logins, BACKUP DATABASE, RESTORE VERIFYONLY and a restore
// test's batches, writes the backup file itself, and can be told to misbehave. Its sockets run on a thread of
// their own.
class TdsTestServer {
public:
    TdsTestServer();
    ~TdsTestServer();
    TdsTestServer(const TdsTestServer &) = delete;
    TdsTestServer &operator=(const TdsTestServer &) = delete;

    // 127.0.0.1 only; port 0 picks a free one. False when the port cannot be bound or already listening.
    bool listen(quint16 port = 0);
    quint16 port() const { return port_; }

    void addLogin(const QString &login, const QString &password);
    // Compared without case; master, model, msdb and tempdb always exist.
    void addDatabase(const QString &name);
    // As when a database is detached or dropped while a client is logged in to it: a later BACKUP of it
    // gets 911, a later login 4060.
    void removeDatabase(const QString &name);

    // Progress messages are spread over this time (50 ms unless set); read when a backup or a RESTORE
    // DATABASE starts.
    void setBackupDuration(int ms);
    void setLoginDelay(int ms);
    // Connections are accepted and read, never answered: the client's login timeout must fire.
    void setSilent(bool silent);
    // The server closes the connection after the first progress message and removes the file.
    void setDropDuringBackup(bool drop);
    // The disk fills after the first progress message: 3202 "Write on "<path>" failed: 112(There is not
    // enough space on the disk.)" and 3013; the partial file is removed.
    void setErrorAfterProgress(bool fail);
    // Each "N percent processed." is followed by a DONE with the "more" bit, as SQL Server sends it:
    // FreeTDS returns from SQLExecDirect and SQLMoreResults only at a DONE, so a client sees progress as
    // it comes. This adds one after every other message of an answer but the last.
    void setMoreResultsOnDone(bool more);
    // Backups report success (3014) and leave a file cut to half its length; RESTORE VERIFYONLY of it
    // then fails with 3241 and 3013.
    void setDamagedBackups(bool damaged);
    // The backup device cannot be created: 3201 with operating system error 5, then 3013.
    void setBackupAccessDenied(bool denied);
    // Backups report success (3014) and leave a file of 0 bytes, as a full disk behind a share can.
    void setEmptyBackups(bool empty);
    // RESTORE VERIFYONLY cannot open the file to read it: 3201 with operating system error 5, then 3013.
    void setVerifyAccessDenied(bool denied);
    // SERVERPROPERTY('InstanceDefaultDataPath') and its log path; NULL, as on an instance set up without
    // them, unless set. RESTORE DATABASE writes a small file in place of each database file it moves.
    void setDataFolder(const QString &folder);
    // sys.dm_os_volume_stats's available_bytes; RESTORE DATABASE fails with 3257 when its files need more.
    void setVolumeFreeBytes(qint64 bytes);
    // sys.dm_os_volume_stats needs VIEW SERVER STATE, which the login lacks: 297.
    void setVolumeStatsDenied(bool denied);
    // The login lacks dbcreator: RESTORE DATABASE of a new database fails with 262 and 3013.
    void setCreateDatabaseDenied(bool denied);
    // RESTORE DATABASE stops half way on a bad read (3203, 3013) and creates nothing.
    void setRestoreReadFails(bool fail);
    // DBCC CHECKDB reports damage: 8928, 8939, 2533 and 8989 (consistency), or 8905 and 8989 (allocation).
    void setDamage(Damage damage);
    // DROP DATABASE fails: 3702, the database in use.
    void setDropFails(bool fail);
    // The server closes the connection once it has answered PRELOGIN, or when LOGIN7 arrives. FreeTDS:
    // 08001 with 20002 "Adaptive Server connection failed" (after 20017 "Unexpected EOF" on LOGIN7).
    void setDropDuringLogin(LoginDrop when);
    // The answer is replaced by 64 bytes that are not TDS; the connection is then held (see release).
    // FreeTDS gives up at once with 08S01, 20020 "Bad token from the server", and closes it.
    void setGarbageInstead(Answer answer);
    // The last packet of the answer claims 100 bytes more than it holds, or half its payload (the rest
    // reaching the client as the start of another packet); the connection is then held. FreeTDS waits
    // for the bytes it lacks: a login until its time-out (HYT00), a backup until the connection closes.
    void setLengthLie(LengthLie lie, Answer answer);
    // The backup's final answer carries a message as long as a token allows (32 753 characters): an
    // INFO before the summary, or an ERROR and 3013 in place of it, the file then removed. With its
    // prefix the text passes 32 767 characters, and FreeTDS reports its length negative.
    void setLongMessage(LongMessage kind);
    // After the first progress message the backup stops and nothing more is sent; the connection
    // stays open and is held until released or until the client sends an ATTENTION, which ends the
    // backup as at any other time. FreeTDS waits for it without a time-out of its own.
    void setStallDuringBackup(bool stall);
    // Lets go of every held connection: a stalled backup carries on to its end (Resume) or its
    // connection closes and the partial file goes (Drop); any other held connection closes.
    void release(Release how);
    // Called on the server thread with one line per login, batch, attention and backup outcome.
    void setEventLog(std::function<void(const QString &)> log);

    QList<LoginRecord> logins() const;
    // SQL batch texts, and "RPC <name>" for remote procedure calls.
    QStringList batches() const;
    // Backups cut off by an ATTENTION or by the client closing its connection mid-backup.
    QList<AbortRecord> abortedBackups() const;
    QStringList writtenBackups() const;
    // Every database that exists now, system ones first.
    QStringList databases() const;
    int attentionCount() const;
    // Connections held open without an answer now.
    int heldConnections() const;

private:
    std::shared_ptr<ServerState> state_;
    std::unique_ptr<QThread> thread_;
    Listener *listener_ = nullptr;
    quint16 port_ = 0;
};

} // namespace tdstest
