#pragma once

#include <QList>
#include <QString>

// One diagnostic of the driver or the server: the server's message number (0 for the driver's own).
struct ServerMessage {
    int number = 0;
    QString state; // SQLSTATE; "01..." is information, not an error
    QString text;

    bool isError() const { return !state.startsWith(QStringLiteral("01")); }
};

using ServerMessages = QList<ServerMessage>;
