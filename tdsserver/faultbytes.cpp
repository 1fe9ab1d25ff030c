#include "faultbytes.h"

#include "packettype.h"
#include "tokenwriter.h"

#include <QRandomGenerator>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr int GarbageSize = 64;
// A fixed seed: every run of a test sees the same bytes, and so the same reaction of the driver.
constexpr quint32 GarbageSeed = 0x4b565a;
// 0xDE is neither a packet type nor a token a server sends.
constexpr char NoSuchType = char(0xDE);
constexpr int LengthOffset = 2;
constexpr int LongerBy = 100;
// User-defined messages are numbered from 50000, as RAISERROR does without a number.
constexpr qint32 UserMessageNumber = 50000;

} // namespace

QByteArray garbageBytes()
{
    QByteArray bytes(GarbageSize, Qt::Uninitialized);
    QRandomGenerator generator(GarbageSeed);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    bytes[0] = NoSuchType;
    qToBigEndian(quint16(GarbageSize), bytes.data() + LengthOffset);
    bytes[PacketHeaderSize] = NoSuchType;
    return bytes;
}

QByteArray lieAboutLength(QByteArray packets, LengthLie lie)
{
    qsizetype last = 0;
    for (;;) {
        const qsizetype length = qFromBigEndian<quint16>(packets.constData() + last + LengthOffset);
        if (last + length >= packets.size())
            break;
        last += length;
    }
    const qsizetype actual = packets.size() - last;
    const qsizetype claimed = lie == LengthLie::Longer ? qMin<qsizetype>(0xFFFF, actual + LongerBy)
                                                       : PacketHeaderSize + (actual - PacketHeaderSize) / 2;
    if (lie != LengthLie::None)
        qToBigEndian(quint16(claimed), packets.data() + last + LengthOffset);
    return packets;
}

ServerMessage longMessage(LongMessage kind)
{
    const QString sentence = u"The server has more to say than fits on a screen. "_s;
    QString text;
    const qsizetype length = TokenWriter::longestMessageText();
    while (text.size() < length)
        text += sentence;
    text.truncate(length);
    const quint8 severity = kind == LongMessage::Error ? ErrorSeverity : 0;
    return {UserMessageNumber, 1, severity, text};
}

} // namespace tdstest
