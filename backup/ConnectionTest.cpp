#include "backup/ConnectionTest.h"

#include "backup/OpenConnection.h"
#include "settings/ConnectionSettings.h"

ConnectionTest::ConnectionTest(QString connectionFile, int loginTimeoutSeconds, QObject *parent)
    : QObject(parent), connectionFile_(std::move(connectionFile)), loginTimeoutSeconds_(loginTimeoutSeconds),
      worker_([this](const Result<QString> &opened) {
          Answer answer;
          if (!opened) {
              answer.refused = opened.failure();
          } else {
              answer.driver = opened.value();
              // The fields may have changed while the test ran: what is stored is what was tested.
              if (const Outcome stored = StoreConnectionValues(tested_, connectionFile_); !stored)
                  answer.notStored = stored.failure();
          }
          emit finished(answer);
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
