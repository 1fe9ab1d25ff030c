#pragma once

#include "servermessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

namespace tdstest {

// Status bits of DONE, DONEPROC and DONEINPROC.
enum DoneStatus : quint16 {
    DoneFinal = 0x0000,
    DoneMore = 0x0001,
    DoneError = 0x0002,
    DoneCount = 0x0010,
    DoneAttention = 0x0020,
};

// ENVCHANGE types the login answer uses.
enum class EnvChange : quint8 {
    Database = 1,
    Language = 2,
    PacketSize = 4,
    Collation = 7,
};

// A result set's column: text (NVARCHAR) or a whole number (INT or BIGINT, by its byte width).
struct Column {
    enum class Type : quint8 { Text, Int, BigInt };
    QString name;
    Type type = Type::Text;
};

// One cell of a row; a null QVariant is SQL NULL.
using Cell = QVariant;

// Builds a server token stream in the TDS 7.2+ layouts.
class TokenWriter {
public:
    TokenWriter &envChange(EnvChange type, const QString &newValue, const QString &oldValue);
    TokenWriter &collation(const QByteArray &newCollation);
    TokenWriter &message(const ServerMessage &message);
    TokenWriter &loginAck(quint32 tdsVersion);
    TokenWriter &done(quint16 status);
    // COLMETADATA, one ROW per row, and the DONE that counts them.
    TokenWriter &resultSet(const QList<Column> &columns, const QList<QList<Cell>> &rows, quint16 status);
    TokenWriter &doneProc(quint16 status);
    TokenWriter &returnStatus(qint32 value);

    // The most UTF-16 units a message text can have in this server's INFO and ERROR tokens.
    static qsizetype longestMessageText();

    QByteArray bytes() const { return bytes_; }

private:
    void doneToken(quint8 token, quint16 status, quint64 rowCount = 0);
    void cell(Column::Type type, const Cell &value);
    void u8(quint8 value);
    void u16(quint16 value);
    void u32(quint32 value);
    void u64(quint64 value);
    void utf16(const QString &text);
    void bVarChar(const QString &text);

    QByteArray bytes_;
};

} // namespace tdstest
