#pragma once

#include "packettype.h"

#include <QByteArray>
#include <deque>
#include <optional>

namespace tdstest {

struct TdsMessage {
    PacketType type = PacketType::SqlBatch;
    QByteArray payload;
};

// Reassembles client messages from the byte stream; a message may span packets and reads.
class PacketReader {
public:
    void feed(const QByteArray &bytes);
    std::optional<TdsMessage> next();
    bool broken() const { return broken_; }

private:
    void takePacket(quint8 type, quint8 status, const QByteArray &payload);

    QByteArray buffer_;
    QByteArray partial_;
    std::deque<TdsMessage> ready_;
    bool broken_ = false;
};

} // namespace tdstest
