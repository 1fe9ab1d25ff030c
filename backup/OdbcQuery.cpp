#include "backup/OdbcConnection.h"

#include <sqlext.h>
#include <sqlucode.h>
#include <vector>

namespace {

// Large enough for a path or a name in one call; longer cells come in more calls.
constexpr SQLLEN kChunkChars = 1024;

QString FromWide(const SQLWCHAR *text, SQLLEN chars)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), chars);
}

} // namespace

std::optional<QList<QStringList>> OdbcConnection::queryRows(const QString &sql)
{
    if (!connected_)
        return std::nullopt;
    OdbcHandle statement(SQL_HANDLE_STMT, dbc_->get());
    if (!statement) {
        collect(*dbc_);
        return std::nullopt;
    }
    QList<QStringList> rows;
    bool ok = true;
    bool firstSet = true;
    SQLRETURN rc = SQLExecDirectW(
        statement.get(), const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(sql.utf16())), SQL_NTS);
    while (rc != SQL_NO_DATA && rc != SQL_INVALID_HANDLE) {
        const qsizetype before = messages_.size();
        if (rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR)
            collect(statement);
        if (lostConnection(before) || (rc == SQL_ERROR && messages_.size() == before))
            return std::nullopt;
        ok = ok && rc != SQL_ERROR;
        SQLSMALLINT columns = 0;
        if (SQL_SUCCEEDED(rc) && SQL_SUCCEEDED(SQLNumResultCols(statement.get(), &columns)) && columns > 0) {
            // Rows of later sets are read too, so the statement is never freed with results pending.
            for (SQLRETURN fetched = SQLFetch(statement.get()); fetched != SQL_NO_DATA;
                 fetched = SQLFetch(statement.get())) {
                if (!SQL_SUCCEEDED(fetched)) {
                    collect(statement);
                    return std::nullopt;
                }
                const std::optional<QStringList> row = fetchRow(statement, columns);
                if (!row)
                    return std::nullopt;
                if (firstSet)
                    rows.append(*row);
            }
            firstSet = false;
        }
        rc = SQLMoreResults(statement.get());
    }
    if (!ok || rc == SQL_INVALID_HANDLE)
        return std::nullopt;
    return rows;
}

std::optional<QStringList> OdbcConnection::fetchRow(const OdbcHandle &statement, int columns)
{
    QStringList row;
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        // Empty, not null: only NULL data reads as a null QString.
        QString cell = QStringLiteral("");
        std::vector<SQLWCHAR> chunk(kChunkChars + 1);
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(statement.get(), column, SQL_C_WCHAR, chunk.data(),
                                            static_cast<SQLLEN>(chunk.size() * sizeof(SQLWCHAR)), &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc)) {
                collect(statement);
                return std::nullopt;
            }
            if (indicator == SQL_NULL_DATA) {
                cell = QString();
                break;
            }
            const bool whole =
                indicator != SQL_NO_TOTAL && indicator / SQLLEN(sizeof(SQLWCHAR)) <= kChunkChars;
            cell += FromWide(chunk.data(), whole ? indicator / SQLLEN(sizeof(SQLWCHAR)) : kChunkChars);
            if (whole)
                break;
        }
        row.append(cell);
    }
    return row;
}
