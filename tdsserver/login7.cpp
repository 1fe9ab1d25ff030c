#include "login7.h"

#include "utf16le.h"

#include <QtEndian>

namespace tdstest {

namespace {

// Offsets of the fixed part; each variable field is an (offset, length in characters) pair.
constexpr int TdsVersionAt = 4;
constexpr int PacketSizeAt = 8;
constexpr int HostNameAt = 36;
constexpr int UserNameAt = 40;
constexpr int PasswordAt = 44;
constexpr int AppNameAt = 48;
constexpr int ServerNameAt = 52;
constexpr int LanguageAt = 64;
constexpr int DatabaseAt = 68;
constexpr int FixedPartSize = 72;

quint16 u16At(const QByteArray &payload, int at)
{
    return qFromLittleEndian<quint16>(payload.constData() + at);
}

std::optional<QByteArray> fieldBytes(const QByteArray &payload, int entryAt)
{
    const int offset = u16At(payload, entryAt);
    const int bytes = 2 * u16At(payload, entryAt + 2);
    if (offset + bytes > payload.size())
        return std::nullopt;
    return payload.mid(offset, bytes);
}

std::optional<QString> textField(const QByteArray &payload, int entryAt)
{
    const auto bytes = fieldBytes(payload, entryAt);
    if (!bytes)
        return std::nullopt;
    return utf16LeText(*bytes, 0, bytes->size() / 2);
}

} // namespace

QString deobfuscatePassword(const QByteArray &obfuscated)
{
    QByteArray plain;
    for (const char c : obfuscated) {
        const quint8 unmasked = quint8(c) ^ 0xA5;
        plain.append(char(quint8(unmasked << 4) | quint8(unmasked >> 4)));
    }
    return utf16LeText(plain, 0, plain.size() / 2);
}

std::optional<Login7Request> decodeLogin7(const QByteArray &payload)
{
    if (payload.size() < FixedPartSize)
        return std::nullopt;
    const auto host = textField(payload, HostNameAt);
    const auto user = textField(payload, UserNameAt);
    const auto password = fieldBytes(payload, PasswordAt);
    const auto app = textField(payload, AppNameAt);
    const auto server = textField(payload, ServerNameAt);
    const auto language = textField(payload, LanguageAt);
    const auto database = textField(payload, DatabaseAt);
    if (!host || !user || !password || !app || !server || !language || !database)
        return std::nullopt;

    Login7Request request;
    request.fields.hostName = *host;
    request.fields.userName = *user;
    request.fields.password = deobfuscatePassword(*password);
    request.fields.appName = *app;
    request.fields.serverName = *server;
    request.fields.language = *language;
    request.fields.database = *database;
    request.fields.tdsVersion = qFromLittleEndian<quint32>(payload.constData() + TdsVersionAt);
    request.packetSize = qFromLittleEndian<quint32>(payload.constData() + PacketSizeAt);
    return request;
}

} // namespace tdstest
