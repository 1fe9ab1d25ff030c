#pragma once

namespace tdstest {
class TdsTestServer;
}

// The loopback server the benchmark folders point at: login sa:pw, database STOK, a free port.
bool ListenForBench(tdstest::TdsTestServer &server);
