#pragma once

#include <QString>

// The five values that say how to reach the database, exactly as the user typed them.
struct ConnectionValues {
    QString server;
    QString port;
    QString database;
    QString login;
    QString password;

    friend bool operator==(const ConnectionValues &, const ConnectionValues &) = default;
};
