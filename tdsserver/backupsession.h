#pragma once

#include "backupstatement.h"
#include "behaviour.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

namespace tdstest {

// One running BACKUP DATABASE: writes the file and paces the progress messages.
class BackupSession : public QObject {
    Q_OBJECT
public:
    BackupSession(const BackupStatement &statement, const Behaviour &behaviour, QObject *parent = nullptr);
    ~BackupSession() override;

    // Opens the backup device; the errors the server would send when it cannot.
    QList<ServerMessage> open();
    void start();
    // Stops and removes the partial file.
    void abort();
    // Holds the backup where it is, file open, until resumed.
    void pause();
    void resume();

    const BackupStatement &statement() const { return statement_; }

signals:
    void progress(const tdstest::ServerMessage &message);
    // The messages of the final answer, the summary last.
    void completed(const QList<tdstest::ServerMessage> &messages);
    void failed(const QList<tdstest::ServerMessage> &errors);

private:
    void step();
    // Appends to the file, flushed so that a partial file shows what was done.
    void write(const QByteArray &bytes);
    void scheduleNext();
    void fail(const QList<ServerMessage> &errors);
    ServerMessage summary() const;

    BackupStatement statement_;
    Behaviour behaviour_;
    QList<ServerMessage> plan_;
    qsizetype sent_ = 0;
    int pages_ = 0;
    QFile file_;
    QByteArray body_;
    QTimer timer_;
    QElapsedTimer clock_;
};

} // namespace tdstest
