#include "packetwriter.h"

#include <QtEndian>

namespace tdstest {

PacketWriter::PacketWriter(quint16 spid) : spid_(spid) {}

QByteArray PacketWriter::frame(PacketType type, const QByteArray &payload, bool endOfMessage)
{
    const qsizetype room = packetSize_ - kPacketHeaderSize;
    QByteArray packets;
    qsizetype offset = 0;
    do {
        const QByteArray chunk = payload.mid(offset, room);
        offset += chunk.size();
        const bool last = offset >= payload.size();
        char header[kPacketHeaderSize] = {};
        header[0] = char(type);
        header[1] = char(last && endOfMessage ? 0x01 : 0x00);
        qToBigEndian(quint16(kPacketHeaderSize + chunk.size()), header + 2);
        qToBigEndian(spid_, header + 4);
        header[6] = char(packetId_++);
        packets.append(header, kPacketHeaderSize);
        packets.append(chunk);
    } while (offset < payload.size());
    return packets;
}

} // namespace tdstest
