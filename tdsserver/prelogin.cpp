#include "prelogin.h"

#include <QList>
#include <QtEndian>

namespace tdstest {

namespace {

struct PreloginOption {
    quint8 token;
    QByteArray data;
};

constexpr quint8 OptionVersion = 0x00;
constexpr quint8 OptionEncryption = 0x01;
constexpr quint8 OptionInstance = 0x02;
constexpr quint8 OptionMars = 0x04;
constexpr quint8 OptionTerminator = 0xFF;
constexpr char EncryptNotSupported = 0x02;
constexpr int OptionEntrySize = 5;

} // namespace

QByteArray preloginResponse()
{
    // Version 16.0.1000, sub-build 0; offsets and lengths here are big-endian.
    const QList<PreloginOption> options = {
        {OptionVersion, QByteArray::fromHex("100003e80000")},
        {OptionEncryption, QByteArray(1, EncryptNotSupported)},
        {OptionInstance, QByteArray(1, '\0')},
        {OptionMars, QByteArray(1, '\0')},
    };
    QByteArray header;
    QByteArray data;
    const qsizetype dataStart = options.size() * OptionEntrySize + 1;
    for (const PreloginOption &option : options) {
        char entry[OptionEntrySize];
        entry[0] = char(option.token);
        qToBigEndian(quint16(dataStart + data.size()), entry + 1);
        qToBigEndian(quint16(option.data.size()), entry + 3);
        header.append(entry, OptionEntrySize);
        data.append(option.data);
    }
    header.append(char(OptionTerminator));
    return header + data;
}

} // namespace tdstest
