#pragma once

#include <QtGlobal>

namespace tdstest {

// The first byte of every TDS packet header.
enum class PacketType : quint8 {
    SqlBatch = 0x01,
    Rpc = 0x03,
    TabularResult = 0x04,
    Attention = 0x06,
    TransactionManager = 0x0E,
    Login7 = 0x10,
    Prelogin = 0x12,
};

constexpr int kPacketHeaderSize = 8;

} // namespace tdstest
