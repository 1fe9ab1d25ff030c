#pragma once

#include <QString>

namespace tdstest {

// One LOGIN7 request exactly as it arrived, password already de-obfuscated.
struct LoginRecord {
    QString userName;
    QString password;
    QString database;
    QString appName;
    QString hostName;
    QString serverName;
    QString language;
    quint32 tdsVersion = 0;
};

// A backup that the client cut off before its final DONE.
struct AbortRecord {
    QString database;
    QString path;
};

} // namespace tdstest
