#include "packetreader.h"

#include <QtEndian>

namespace tdstest {

namespace {

constexpr quint8 kStatusEndOfMessage = 0x01;
// The client abandons the message it was sending by setting this with end of message.
constexpr quint8 kStatusIgnore = 0x02;

} // namespace

void PacketReader::feed(const QByteArray &bytes)
{
    buffer_.append(bytes);
    while (!broken_ && buffer_.size() >= kPacketHeaderSize) {
        const quint16 length = qFromBigEndian<quint16>(buffer_.constData() + 2);
        if (length < kPacketHeaderSize) {
            broken_ = true;
            return;
        }
        if (buffer_.size() < length)
            return;
        takePacket(quint8(buffer_.at(0)), quint8(buffer_.at(1)),
                   buffer_.mid(kPacketHeaderSize, length - kPacketHeaderSize));
        buffer_.remove(0, length);
    }
}

std::optional<TdsMessage> PacketReader::next()
{
    if (ready_.empty())
        return std::nullopt;
    TdsMessage message = std::move(ready_.front());
    ready_.pop_front();
    return message;
}

void PacketReader::takePacket(quint8 type, quint8 status, const QByteArray &payload)
{
    partial_.append(payload);
    if (!(status & kStatusEndOfMessage))
        return;
    if (!(status & kStatusIgnore))
        ready_.push_back({PacketType(type), partial_});
    partial_.clear();
}

} // namespace tdstest
