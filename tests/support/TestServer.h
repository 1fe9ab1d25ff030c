#pragma once

#include "support/ProgramFolder.h"
#include "tdstestserver.h"

#include <memory>

// The loopback test server listening on a free port, with the login and database a program folder's
// settings name by default; null when it could not listen. Faults and timings are set on it afterwards.
std::unique_ptr<tdstest::TdsTestServer> StartTestServer(const QString &password = ProgramSettings{}.password);
