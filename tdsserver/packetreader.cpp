#include "packetreader.h"

#include <QtEndian>

namespace tdstest {

namespace {

constexpr quint8 StatusEndOfMessage = 0x01;
// The client abandons the message it was sending by setting this with end of message.
constexpr quint8 StatusIgnore = 0x02;

} // namespace

void PacketReader::feed(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    while (!m_broken && m_buffer.size() >= PacketHeaderSize) {
        const quint16 length = qFromBigEndian<quint16>(m_buffer.constData() + 2);
        if (length < PacketHeaderSize) {
            m_broken = true;
            return;
        }
        if (m_buffer.size() < length)
            return;
        takePacket(quint8(m_buffer.at(0)), quint8(m_buffer.at(1)),
                   m_buffer.mid(PacketHeaderSize, length - PacketHeaderSize));
        m_buffer.remove(0, length);
    }
}

std::optional<TdsMessage> PacketReader::next()
{
    if (m_ready.empty())
        return std::nullopt;
    TdsMessage message = std::move(m_ready.front());
    m_ready.pop_front();
    return message;
}

void PacketReader::takePacket(quint8 type, quint8 status, const QByteArray &payload)
{
    m_partial.append(payload);
    if (!(status & StatusEndOfMessage))
        return;
    if (!(status & StatusIgnore))
        m_ready.push_back({PacketType(type), m_partial});
    m_partial.clear();
}

} // namespace tdstest
