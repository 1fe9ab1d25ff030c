#pragma once

#include "platform/AutoStartStore.h"

#include <QString>

// Switch start at login on: the entry leaves RunDisabled and is written under Run with the given command.
// Every step runs whatever the state; a place that cannot be opened is passed over and nothing is reported.
void EnableAutoStart(AutoStartStore &store, const QString &command, const QString &name);

// Switch start at login off: the entry leaves Run and is written under RunDisabled, where that place exists.
void DisableAutoStart(AutoStartStore &store, const QString &command, const QString &name);
