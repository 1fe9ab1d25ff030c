#pragma once

#include <QString>

// What a test may take for granted about the system it runs on, answered by the file of that system.

// Whether this user writes whatever a file's rights say (root, also when it runs Wine).
bool RunsAsSuperUser();

// Hands the file at path to a user other than this one; false when this user may not.
bool GiveToAnotherUser(const QString &path);

// Why rights kept as Unix mode bits cannot be checked here; empty where they can.
QString WithoutModeBits();

// Why a link the file system follows cannot be made here; empty where it can.
QString WithoutSymbolicLinks();
