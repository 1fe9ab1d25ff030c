#pragma once

#include <QByteArray>

namespace tdstest {

// The PRELOGIN answer: a server version and "encryption not supported", so the login goes in clear.
QByteArray PreloginResponse();

} // namespace tdstest
