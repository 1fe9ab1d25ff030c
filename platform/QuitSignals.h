#pragma once

#include <QObject>

// The end of the session as an ordinary request on the user-interface thread, so that the program ends as
// "Kapat" does instead of vanishing mid-backup: here SIGTERM, SIGINT and SIGHUP (logout, shutdown, kill,
// a closed terminal), on Windows the session-end messages.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // False when the session's end could not be watched; it then ends the process as it would by default.
    bool isWatching() const { return watcher_ != nullptr; }

signals:
    // signalName names what ended the session, for the log.
    void received(const QString &signalName);

private:
    // Whatever carries the system's word to the event loop; null while nothing watches.
    QObject *watcher_ = nullptr;
};
