#include "packetwriter.h"

#include <QtEndian>

namespace tdstest {

PacketWriter::PacketWriter(quint16 spid) : m_spid(spid) {}

QByteArray PacketWriter::frame(PacketType type, const QByteArray &payload, bool endOfMessage)
{
    const qsizetype room = m_packetSize - PacketHeaderSize;
    QByteArray packets;
    qsizetype offset = 0;
    do {
        const QByteArray chunk = payload.mid(offset, room);
        offset += chunk.size();
        const bool last = offset >= payload.size();
        char header[PacketHeaderSize] = {};
        header[0] = char(type);
        header[1] = char(last && endOfMessage ? 0x01 : 0x00);
        qToBigEndian(quint16(PacketHeaderSize + chunk.size()), header + 2);
        qToBigEndian(m_spid, header + 4);
        header[6] = char(m_packetId++);
        packets.append(header, PacketHeaderSize);
        packets.append(chunk);
    } while (offset < payload.size());
    return packets;
}

} // namespace tdstest
