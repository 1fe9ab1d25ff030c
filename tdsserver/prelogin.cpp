#include "prelogin.h"

#include <QList>
#include <QtEndian>

namespace tdstest {

namespace {

struct PreloginOption {
    quint8 token;
    QByteArray data;
};

constexpr quint8 kOptionVersion = 0x00;
constexpr quint8 kOptionEncryption = 0x01;
constexpr quint8 kOptionInstance = 0x02;
constexpr quint8 kOptionMars = 0x04;
constexpr quint8 kOptionTerminator = 0xFF;
constexpr char kEncryptNotSupported = 0x02;
constexpr int kOptionEntrySize = 5;

} // namespace

QByteArray PreloginResponse()
{
    // Version 16.0.1000, sub-build 0; offsets and lengths here are big-endian.
    const QList<PreloginOption> options = {
        {kOptionVersion, QByteArray::fromHex("100003e80000")},
        {kOptionEncryption, QByteArray(1, kEncryptNotSupported)},
        {kOptionInstance, QByteArray(1, '\0')},
        {kOptionMars, QByteArray(1, '\0')},
    };
    QByteArray header;
    QByteArray data;
    const qsizetype dataStart = options.size() * kOptionEntrySize + 1;
    for (const PreloginOption &option : options) {
        char entry[kOptionEntrySize];
        entry[0] = char(option.token);
        qToBigEndian(quint16(dataStart + data.size()), entry + 1);
        qToBigEndian(quint16(option.data.size()), entry + 3);
        header.append(entry, kOptionEntrySize);
        data.append(option.data);
    }
    header.append(char(kOptionTerminator));
    return header + data;
}

} // namespace tdstest
