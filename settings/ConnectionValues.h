#pragma once

#include <QString>

// The five values that say how to reach the database, exactly as the user typed them, and the driver to
// reach it with.
struct ConnectionValues {
    QString server;
    QString port;
    QString database;
    QString login;
    QString password;
    // The ODBC driver support staff named by hand in the file; the settings window neither shows nor
    // writes it. Empty lets the program choose.
    QString driver = {};

    friend bool operator==(const ConnectionValues &, const ConnectionValues &) = default;
};
