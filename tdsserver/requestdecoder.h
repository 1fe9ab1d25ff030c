#pragma once

#include <QByteArray>
#include <QString>

namespace tdstest {

// The SQL text of a SQL batch request (ALL_HEADERS skipped).
QString BatchText(const QByteArray &payload);

// A readable name for an RPC request: the procedure name, or its well-known id.
QString RpcDescription(const QByteArray &payload);

} // namespace tdstest
