#include "backup/OdbcConnection.h"

#include "backup/RunCancel.h"
#include "platform/Odbc.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide characters");

namespace {

SQLWCHAR *Wide(const QString &text)
{
    return const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(text.utf16()));
}

} // namespace

OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() = default;

bool OdbcConnection::open(const QString &connectionString, int loginTimeoutSeconds)
{
    messages_.clear();
    env_ = std::make_unique<OdbcHandle>(SQL_HANDLE_ENV, nullptr);
    if (!*env_) {
        messages_.append({0, u"HY001"_s, u"ODBC sürücü yöneticisi başlatılamadı."_s});
        return false;
    }
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(env_->get(), SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        collect(*env_);
        return false;
    }
    dbc_ = std::make_unique<OdbcHandle>(SQL_HANDLE_DBC, env_->get());
    if (!*dbc_) {
        collect(*env_);
        return false;
    }
    // Without a login time-out a server that accepts the connection and never answers hangs the run for
    // good. There is deliberately no command time-out: a backup may take hours.
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttr(dbc_->get(), SQL_ATTR_LOGIN_TIMEOUT,
                              reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)), 0))) {
        collect(*dbc_);
        return false;
    }
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc_->get(), nullptr, Wide(connectionString), SQL_NTS, nullptr, 0,
                                           &outLength, SQL_DRIVER_NOPROMPT);
    if (rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR)
        collect(*dbc_);
    connected_ = SQL_SUCCEEDED(rc);
    return connected_;
}

bool OdbcConnection::executeBatch(const QString &sql, const MessageSink &onMessage, RunCancel *cancel)
{
    if (!connected_)
        return false;
    OdbcHandle statement(SQL_HANDLE_STMT, dbc_->get());
    if (!statement) {
        collect(*dbc_);
        return false;
    }
    const RunCancel::Guard guard(cancel, statement.get());
    if (guard.cancelled())
        return false;
    bool ok = true;
    SQLRETURN rc = SQLExecDirectW(statement.get(), Wide(sql), SQL_NTS);
    // Every result must be read before the statement is freed: a statement freed early makes the driver
    // send a cancel, and the server aborts the backup it is writing.
    while (rc != SQL_NO_DATA) {
        if (rc == SQL_INVALID_HANDLE)
            return false;
        if (rc == SQL_ERROR)
            ok = false;
        if (rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR) {
            const qsizetype before = messages_.size();
            collect(statement);
            // SQL Server flushes each progress message with a DONE of its own, so each one comes here as it
            // is sent, not at the end of the backup.
            if (onMessage) {
                for (qsizetype i = before; i < messages_.size(); ++i)
                    onMessage(messages_[i]);
            }
            // Nothing more will come over a dead link (the driver may then keep answering "more results" with
            // its loss message for ever), and an error without a message makes no progress.
            if (lostConnection(before)) {
                ok = false;
                break;
            }
            if (rc == SQL_ERROR && messages_.size() == before)
                break;
        }
        rc = SQLMoreResults(statement.get());
    }
    return ok;
}

void OdbcConnection::collect(const OdbcHandle &handle)
{
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::vector<SQLWCHAR> text(1024);
        SQLSMALLINT length = 0;
        auto fetch = [&] {
            return SQLGetDiagRecW(handle.type(), handle.get(), record, state, &native, text.data(),
                                  static_cast<SQLSMALLINT>(text.size()), &length);
        };
        SQLRETURN rc = fetch();
        // A cut text comes back with SQL_SUCCESS_WITH_INFO; its length may even have overflowed to a negative
        // number (a 32 KiB server message plus the driver's prefixes), so ask again with the largest buffer.
        if (rc == SQL_SUCCESS_WITH_INFO && (length < 0 || length >= static_cast<SQLSMALLINT>(text.size()))) {
            text.assign(32767, 0);
            rc = fetch();
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        text.back() = 0;
        const auto end = std::find(text.cbegin(), text.cend(), SQLWCHAR(0));
        messages_.append(
            {static_cast<int>(native), QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5),
             QString::fromUtf16(reinterpret_cast<const char16_t *>(text.data()), end - text.cbegin())});
    }
}

// FreeTDS reports a connection cut mid-backup as "Unexpected EOF from the server" (20017), at times in an
// information state, and then answers every further call with "Unknown error".
bool OdbcConnection::lostConnection(qsizetype since) const
{
    constexpr int kUnexpectedEof = 20017;
    return std::any_of(messages_.cbegin() + since, messages_.cend(), [](const ServerMessage &message) {
        return message.state.startsWith(u"08"_s) || message.number == kUnexpectedEof;
    });
}
