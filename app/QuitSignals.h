#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (logout, shutdown, kill, a closed terminal) as an ordinary request on the
// user-interface thread, so that the program ends as "Kapat" does instead of vanishing mid-backup.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // False when the signals could not be caught; they then end the process as they would by default.
    bool isWatching() const { return notifier_ != nullptr; }

signals:
    void received(const QString &signalName);

private:
    QSocketNotifier *notifier_ = nullptr;
};
