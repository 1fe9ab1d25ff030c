#pragma once

#include "backup/SingleRunWorker.h"
#include "settings/ConnectionValues.h"
#include "settings/Result.h"

#include <QObject>
#include <optional>

// "BAĞLANMA TESTİ YAP": opens and closes a connection with the values as typed, on a worker with the
// backup's own connection code, and stores exactly the tested values when the server accepted them.
class ConnectionTest : public QObject {
    Q_OBJECT
public:
    ConnectionTest(QString connectionFile, int loginTimeoutSeconds, QObject *parent = nullptr);

    // False, and nothing started, while a test runs.
    bool start(const ConnectionValues &values);
    bool isRunning() const { return worker_.isRunning(); }
    void setLoginTimeout(int seconds) { loginTimeoutSeconds_ = seconds; }

    struct Answer {
        std::optional<Failure> refused;   // why the connection could not be made; nothing when it was
        std::optional<Failure> notStored; // made, but the values could not be stored
        QString driver = {};              // the ODBC driver that made the connection
    };

signals:
    void finished(const ConnectionTest::Answer &answer);

private:
    QString connectionFile_;
    int loginTimeoutSeconds_;
    ConnectionValues tested_;
    SingleRunWorker<Result<QString>> worker_;
};
