#pragma once

#include "packettype.h"

#include <QByteArray>

namespace tdstest {

// Cuts server messages into packets no larger than the negotiated packet size.
class PacketWriter {
public:
    explicit PacketWriter(quint16 spid);

    void setPacketSize(int size) { packetSize_ = size; }
    QByteArray frame(PacketType type, const QByteArray &payload, bool endOfMessage);

private:
    quint16 spid_;
    int packetSize_ = 4096;
    quint8 packetId_ = 1;
};

} // namespace tdstest
