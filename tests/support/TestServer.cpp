#include "support/TestServer.h"

std::unique_ptr<tdstest::TdsTestServer> StartTestServer(const QString &password)
{
    const ProgramSettings settings;
    auto server = std::make_unique<tdstest::TdsTestServer>();
    server->addLogin(settings.login, password);
    server->addDatabase(settings.database);
    if (!server->listen())
        return nullptr;
    return server;
}
