#pragma once

#include "behaviour.h"
#include "servermessage.h"

#include <QByteArray>

namespace tdstest {

// Bytes that are not TDS: the header they start with claims their own length, so a client takes them
// in whole as one packet of an unknown type whose payload is no token stream.
QByteArray GarbageBytes();

// The packets as framed, with the header of the last one claiming more or fewer bytes than it holds.
QByteArray LieAboutLength(QByteArray packets, LengthLie lie);

// A message as long as an INFO or ERROR token can carry (its length field has 16 bits).
ServerMessage LongestMessage(LongMessage kind);

} // namespace tdstest
