#include "tokenwriter.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr quint8 kTokenReturnStatus = 0x79;
constexpr quint8 kTokenError = 0xAA;
constexpr quint8 kTokenInfo = 0xAB;
constexpr quint8 kTokenLoginAck = 0xAD;
constexpr quint8 kTokenEnvChange = 0xE3;
constexpr quint8 kTokenDone = 0xFD;
constexpr quint8 kTokenDoneProc = 0xFE;
constexpr quint8 kTokenColMetadata = 0x81;
constexpr quint8 kTokenRow = 0xD1;

constexpr quint8 kTypeNVarChar = 0xE7;
constexpr quint8 kTypeIntN = 0x26;
constexpr quint16 kNVarCharMaxBytes = 8000;
constexpr quint16 kColumnNullable = 0x0001;
constexpr quint16 kNullTextLength = 0xFFFF;

// The server's default collation, Latin1_General_CI_AS, that its text columns carry.
const QByteArray kTextCollation = QByteArray::fromHex("0904d00034");

quint8 IntWidth(Column::Type type)
{
    return type == Column::Type::Int ? 4 : 8;
}

// LOGINACK interface value for T-SQL.
constexpr quint8 kInterfaceTransactSql = 1;

const QString kServerName = u"TDSTEST"_s;
const QString kProductName = u"Microsoft SQL Server"_s;

// Product version 16.0.1000 (major, minor, build high byte, build low byte).
constexpr quint8 kProductVersion[] = {16, 0, 0x03, 0xE8};

// B_VARCHAR carries its length in one byte.
constexpr qsizetype kMaxByteLengthChars = 255;

// What an INFO or ERROR token's length counts besides the text: number, state, class, the text's length,
// the server and procedure names and the line number.
qsizetype MessageBytesBesideText()
{
    return 4 + 1 + 1 + 2 + 1 + 2 * kServerName.size() + 1 + 4;
}

} // namespace

TokenWriter &TokenWriter::envChange(EnvChange type, const QString &newValue, const QString &oldValue)
{
    const QString newText = newValue.left(kMaxByteLengthChars);
    const QString oldText = oldValue.left(kMaxByteLengthChars);
    u8(kTokenEnvChange);
    u16(quint16(1 + 1 + 2 * newText.size() + 1 + 2 * oldText.size()));
    u8(quint8(type));
    bVarChar(newText);
    bVarChar(oldText);
    return *this;
}

TokenWriter &TokenWriter::collation(const QByteArray &newCollation)
{
    u8(kTokenEnvChange);
    u16(quint16(1 + 1 + newCollation.size() + 1));
    u8(quint8(EnvChange::Collation));
    u8(quint8(newCollation.size()));
    bytes_.append(newCollation);
    u8(0);
    return *this;
}

TokenWriter &TokenWriter::message(const ServerMessage &message)
{
    const QString text = message.text;
    u8(message.severity > kHighestInfoSeverity ? kTokenError : kTokenInfo);
    u16(quint16(MessageBytesBesideText() + 2 * text.size()));
    u32(quint32(message.number));
    u8(message.state);
    u8(message.severity);
    u16(quint16(text.size()));
    utf16(text);
    bVarChar(kServerName);
    bVarChar(QString());
    u32(1);
    return *this;
}

qsizetype TokenWriter::longestMessageText()
{
    return (0xFFFF - MessageBytesBesideText()) / 2;
}

TokenWriter &TokenWriter::loginAck(quint32 tdsVersion)
{
    u8(kTokenLoginAck);
    u16(quint16(1 + 4 + 1 + 2 * kProductName.size() + 4));
    u8(kInterfaceTransactSql);
    // Unlike LOGIN7, LOGINACK carries the version most significant byte first.
    char version[4];
    qToBigEndian(tdsVersion, version);
    bytes_.append(version, 4);
    bVarChar(kProductName);
    for (const quint8 part : kProductVersion)
        u8(part);
    return *this;
}

TokenWriter &TokenWriter::done(quint16 status)
{
    doneToken(kTokenDone, status);
    return *this;
}

TokenWriter &TokenWriter::resultSet(const QList<Column> &columns, const QList<QList<Cell>> &rows,
                                    quint16 status)
{
    u8(kTokenColMetadata);
    u16(quint16(columns.size()));
    for (const Column &column : columns) {
        u32(0);
        u16(kColumnNullable);
        if (column.type == Column::Type::Text) {
            u8(kTypeNVarChar);
            u16(kNVarCharMaxBytes);
            bytes_.append(kTextCollation);
        } else {
            u8(kTypeIntN);
            u8(IntWidth(column.type));
        }
        bVarChar(column.name);
    }
    for (const QList<Cell> &row : rows) {
        u8(kTokenRow);
        for (qsizetype i = 0; i < columns.size(); ++i)
            cell(columns.at(i).type, row.value(i));
    }
    doneToken(kTokenDone, quint16(status | DoneCount), quint64(rows.size()));
    return *this;
}

void TokenWriter::cell(Column::Type type, const Cell &value)
{
    if (type == Column::Type::Text) {
        if (value.isNull())
            return u16(kNullTextLength);
        const QString text = value.toString();
        u16(quint16(2 * text.size()));
        return utf16(text);
    }
    if (value.isNull())
        return u8(0);
    u8(IntWidth(type));
    if (type == Column::Type::Int)
        return u32(quint32(value.toInt()));
    u64(quint64(value.toLongLong()));
}

TokenWriter &TokenWriter::doneProc(quint16 status)
{
    doneToken(kTokenDoneProc, status);
    return *this;
}

TokenWriter &TokenWriter::returnStatus(qint32 value)
{
    u8(kTokenReturnStatus);
    u32(quint32(value));
    return *this;
}

void TokenWriter::doneToken(quint8 token, quint16 status, quint64 rowCount)
{
    u8(token);
    u16(status);
    u16(0);
    u64(rowCount);
}

void TokenWriter::u8(quint8 value)
{
    bytes_.append(char(value));
}

void TokenWriter::u16(quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    bytes_.append(bytes, 2);
}

void TokenWriter::u32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    bytes_.append(bytes, 4);
}

void TokenWriter::u64(quint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    bytes_.append(bytes, 8);
}

void TokenWriter::utf16(const QString &text)
{
    for (const QChar c : text)
        u16(c.unicode());
}

void TokenWriter::bVarChar(const QString &text)
{
    const QString fitting = text.left(kMaxByteLengthChars);
    u8(quint8(fitting.size()));
    utf16(fitting);
}

} // namespace tdstest
