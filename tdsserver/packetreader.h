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
    bool broken() const { return m_broken; }

private:
    void takePacket(quint8 type, quint8 status, const QByteArray &payload);

    QByteArray m_buffer;
    QByteArray m_partial;
    std::deque<TdsMessage> m_ready;
    bool m_broken = false;
};

} // namespace tdstest
