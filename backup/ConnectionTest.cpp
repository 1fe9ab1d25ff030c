#include "backup/ConnectionTest.h"

#include "backup/OpenConnection.h"
#include "settings/ConnectionSettings.h"

ConnectionTest::ConnectionTest(QString connectionFile, int loginTimeoutSeconds, QObject *parent)
    : QObject(parent), connectionFile_(std::move(connectionFile)), loginTimeoutSeconds_(loginTimeoutSeconds),
      worker_([this](const std::optional<QString> &problem) {
          Outcome outcome{problem, std::nullopt};
          if (!problem) {
              // The fields may have changed while the test ran: store what was tested, nothing else.
              if (const ::Outcome stored = StoreConnectionValues(tested_, connectionFile_); !stored)
                  outcome.notStored = stored.failure();
          }
          emit finished(outcome);
      })
{}

bool ConnectionTest::start(const ConnectionValues &values)
{
    const int timeout = loginTimeoutSeconds_;
    if (!worker_.start([values, timeout] { return TestConnection(values, timeout); }))
        return false;
    tested_ = values;
    return true;
}
