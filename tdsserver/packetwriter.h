#pragma once

#include "packettype.h"

#include <QByteArray>

namespace tdstest {

// Cuts server messages into packets no larger than the negotiated packet size.
class PacketWriter {
public:
    explicit PacketWriter(quint16 spid);

    void setPacketSize(int size) { m_packetSize = size; }
    QByteArray frame(PacketType type, const QByteArray &payload, bool endOfMessage);

private:
    quint16 m_spid;
    int m_packetSize = 4096;
    quint8 m_packetId = 1;
};

} // namespace tdstest
