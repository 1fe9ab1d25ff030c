#pragma once

#include "settings/Result.h"

#include <QString>
#include <functional>

struct CopyHooks {
    std::function<void(int percent)> progress = {};
    // Asked between blocks: true stops the copy, which then fails and leaves nothing behind.
    std::function<bool()> cancelled = {};
    // Called once the copy is on the disk, before it is read back: tests damage it here.
    std::function<void(const QString &writtenPath)> beforeCheck = {};
};

struct CheckedCopy {
    QString path;
    qint64 bytes = 0;
};

// Copies the file at `source` into `folder` under the source's own name, or with "-2", "-3" ... before its
// extension when that name is taken: nothing there is ever overwritten. The copy is written under a
// temporary name, its SHA-256 computed on the way, synced to the disk and read back from it; only a copy
// that reads back the same gets the backup's name. Any failure (a folder gone, a full disk, a mismatch, a
// cancel) removes the temporary file. Reads and writes whole files: call it on a worker.
Result<CheckedCopy> CopyAndCheck(const QString &source, const QString &folder, const CopyHooks &hooks = {});

// The name a copy of `name` gets when `name` is taken: "-<number>" before the extension.
QString NumberedName(const QString &name, int number);
