#include "BenchServer.h"

#include "tdstestserver.h"

using namespace Qt::StringLiterals;

bool ListenForBench(tdstest::TdsTestServer &server)
{
    server.addLogin(u"sa"_s, u"pw"_s);
    server.addDatabase(u"STOK"_s);
    return server.listen();
}
