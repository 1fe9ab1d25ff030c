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

// Why a local socket here is no file that an open() could meet; empty where it is one.
QString WithoutSocketFiles();

// Why the ODBC driver's default port cannot be moved by this process's TDSPORT; empty where it can.
QString WithoutDriverPortVariable();

// Why a folder cannot be removed while a file in it is open, as an unplugged disk goes; empty where it can.
QString WithoutRemovingBusyFolders();

// Why a local socket's write cannot wait for a reader on the same thread; empty where the system keeps it.
QString WithoutBufferedLocalSockets();
