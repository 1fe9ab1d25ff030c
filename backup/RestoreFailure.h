#pragma once

#include "backup/ServerMessage.h"

#include <QString>

// What the shop owner reads when the server refused or broke off a restore test's restore: the Turkish
// sentence for the first message it knows, then the server's own text and number; empty when it knows
// none of them.
QString ExplainRestoreFailure(const ServerMessages &messages);
