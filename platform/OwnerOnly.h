#pragma once

#include <QString>

class QFile;
class QFileDevice;
class QFileInfo;

// Files that hold a password, or who ran what and with which server's words, are for the user who wrote
// them alone.

// Opens file for writing as a new file that only its owner may read and write; false when it exists already
// or cannot be made.
bool OpenNewOwnerOnly(QFile &file);

// Leaves only the owner the right to read and write the file at path, or the file being written.
bool MakeOwnerOnly(const QString &path);
bool MakeOwnerOnly(QFileDevice &file);

// Whether users other than the owner have any right to the file.
bool OpenToOthers(const QFileInfo &info);

// Whether the file belongs to the user this program runs as, who alone may change its rights.
bool OwnedByThisUser(const QFileInfo &info);
