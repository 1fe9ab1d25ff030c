#pragma once

#include "records.h"

#include <QByteArray>
#include <optional>

namespace tdstest {

struct Login7Request {
    LoginRecord fields;
    quint32 packetSize = 0;
};

// Decodes a LOGIN7 payload; nullopt when a field points outside it.
std::optional<Login7Request> DecodeLogin7(const QByteArray &payload);

// LOGIN7 sends each password byte with its nibbles swapped and then XORed with 0xA5.
QString DeobfuscatePassword(const QByteArray &obfuscated);

} // namespace tdstest
