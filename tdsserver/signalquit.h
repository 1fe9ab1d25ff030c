#pragma once

#include <QObject>

class QSocketNotifier;

namespace tdstest {

// Ends the event loop on SIGTERM or SIGINT; the handler only writes a byte, the quit happens in the loop.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(QObject *parent = nullptr);
    ~SignalQuit() override;

private:
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace tdstest
