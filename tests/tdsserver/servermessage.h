#pragma once

#include <QString>

namespace tdstest {

// An INFO or ERROR token's content; severities above 10 travel as ERROR.
struct ServerMessage {
    qint32 number = 0;
    quint8 state = 1;
    quint8 severity = 0;
    QString text;
};

} // namespace tdstest
