#include "faultbytes.h"

#include "packettype.h"
#include "tokenwriter.h"

#include <QRandomGenerator>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr int kGarbageSize = 64;
// A fixed seed: every run of a test sees the same bytes, and so the same reaction of the driver.
constexpr quint32 kGarbageSeed = 0x4b565a;
// 0xDE is neither a packet type nor a token a server sends.
constexpr char kNoSuchType = char(0xDE);
constexpr int kLengthOffset = 2;
constexpr int kLongerBy = 100;
// User-defined messages are numbered from 50000, as RAISERROR does without a number.
constexpr qint32 kUserMessageNumber = 50000;

} // namespace

QByteArray GarbageBytes()
{
    QByteArray bytes(kGarbageSize, Qt::Uninitialized);
    QRandomGenerator generator(kGarbageSeed);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    bytes[0] = kNoSuchType;
    qToBigEndian(quint16(kGarbageSize), bytes.data() + kLengthOffset);
    bytes[kPacketHeaderSize] = kNoSuchType;
    return bytes;
}

QByteArray LieAboutLength(QByteArray packets, LengthLie lie)
{
    qsizetype last = 0;
    for (;;) {
        const qsizetype length = qFromBigEndian<quint16>(packets.constData() + last + kLengthOffset);
        if (last + length >= packets.size())
            break;
        last += length;
    }
    const qsizetype actual = packets.size() - last;
    const qsizetype claimed = lie == LengthLie::Longer ? qMin<qsizetype>(0xFFFF, actual + kLongerBy)
                                                       : kPacketHeaderSize + (actual - kPacketHeaderSize) / 2;
    if (lie != LengthLie::None)
        qToBigEndian(quint16(claimed), packets.data() + last + kLengthOffset);
    return packets;
}

ServerMessage LongestMessage(LongMessage kind)
{
    const QString sentence = u"The server has more to say than fits on a screen. "_s;
    QString text;
    const qsizetype length = TokenWriter::longestMessageText();
    while (text.size() < length)
        text += sentence;
    text.truncate(length);
    const quint8 severity = kind == LongMessage::Error ? kErrorSeverity : 0;
    return {kUserMessageNumber, 1, severity, text};
}

} // namespace tdstest
