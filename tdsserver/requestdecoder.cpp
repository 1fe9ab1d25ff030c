#include "requestdecoder.h"

#include "utf16le.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

// An RPC names its procedure by id when the name length is this value.
constexpr quint16 kProcedureById = 0xFFFF;

// TDS 7.2+ requests start with ALL_HEADERS, whose first DWORD is its own total length.
qsizetype AllHeadersLength(const QByteArray &payload)
{
    if (payload.size() < 4)
        return 0;
    const quint32 total = qFromLittleEndian<quint32>(payload.constData());
    return total >= 4 && total <= quint32(payload.size()) ? qsizetype(total) : 0;
}

} // namespace

QString BatchText(const QByteArray &payload)
{
    const qsizetype start = AllHeadersLength(payload);
    return Utf16LeText(payload, start, (payload.size() - start) / 2);
}

QString RpcDescription(const QByteArray &payload)
{
    const qsizetype start = AllHeadersLength(payload);
    if (payload.size() < start + 4)
        return u"RPC"_s;
    const quint16 nameLength = qFromLittleEndian<quint16>(payload.constData() + start);
    if (nameLength == kProcedureById)
        return u"RPC procedure id %1"_s.arg(qFromLittleEndian<quint16>(payload.constData() + start + 2));
    return u"RPC "_s + Utf16LeText(payload, start + 2, nameLength);
}

} // namespace tdstest
