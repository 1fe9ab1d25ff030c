#include "login7.h"

#include "utf16le.h"

#include <QtEndian>

namespace tdstest {

namespace {

// Offsets of the fixed part; each variable field is an (offset, length in characters) pair.
constexpr int kTdsVersionAt = 4;
constexpr int kPacketSizeAt = 8;
constexpr int kHostNameAt = 36;
constexpr int kUserNameAt = 40;
constexpr int kPasswordAt = 44;
constexpr int kAppNameAt = 48;
constexpr int kServerNameAt = 52;
constexpr int kLanguageAt = 64;
constexpr int kDatabaseAt = 68;
constexpr int kFixedPartSize = 72;

quint16 U16At(const QByteArray &payload, int at)
{
    return qFromLittleEndian<quint16>(payload.constData() + at);
}

std::optional<QByteArray> FieldBytes(const QByteArray &payload, int entryAt)
{
    const int offset = U16At(payload, entryAt);
    const int bytes = 2 * U16At(payload, entryAt + 2);
    if (offset + bytes > payload.size())
        return std::nullopt;
    return payload.mid(offset, bytes);
}

std::optional<QString> TextField(const QByteArray &payload, int entryAt)
{
    const auto bytes = FieldBytes(payload, entryAt);
    if (!bytes)
        return std::nullopt;
    return Utf16LeText(*bytes, 0, bytes->size() / 2);
}

} // namespace

QString DeobfuscatePassword(const QByteArray &obfuscated)
{
    QByteArray plain;
    for (const char c : obfuscated) {
        const quint8 unmasked = quint8(c) ^ 0xA5;
        plain.append(char(quint8(unmasked << 4) | quint8(unmasked >> 4)));
    }
    return Utf16LeText(plain, 0, plain.size() / 2);
}

std::optional<Login7Request> DecodeLogin7(const QByteArray &payload)
{
    if (payload.size() < kFixedPartSize)
        return std::nullopt;
    const auto host = TextField(payload, kHostNameAt);
    const auto user = TextField(payload, kUserNameAt);
    const auto password = FieldBytes(payload, kPasswordAt);
    const auto app = TextField(payload, kAppNameAt);
    const auto server = TextField(payload, kServerNameAt);
    const auto language = TextField(payload, kLanguageAt);
    const auto database = TextField(payload, kDatabaseAt);
    if (!host || !user || !password || !app || !server || !language || !database)
        return std::nullopt;

    Login7Request request;
    request.fields.hostName = *host;
    request.fields.userName = *user;
    request.fields.password = DeobfuscatePassword(*password);
    request.fields.appName = *app;
    request.fields.serverName = *server;
    request.fields.language = *language;
    request.fields.database = *database;
    request.fields.tdsVersion = qFromLittleEndian<quint32>(payload.constData() + kTdsVersionAt);
    request.packetSize = qFromLittleEndian<quint32>(payload.constData() + kPacketSizeAt);
    return request;
}

} // namespace tdstest
