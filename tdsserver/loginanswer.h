#pragma once

#include "login7.h"

#include <QByteArray>

namespace tdstest {

class ServerState;

struct LoginAnswer {
    bool accepted = false;
    int packetSize = 4096;
    QByteArray tokens;
};

// What the server answers to a LOGIN7: the login acknowledgement, or the errors that end the login.
LoginAnswer AnswerLogin(const Login7Request &request, const ServerState &state);

} // namespace tdstest
