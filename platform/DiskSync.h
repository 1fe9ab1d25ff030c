#pragma once

class QFileDevice;

// Pushes what was written to an open file down to the disk and lets go of the system's cached copy of it, so
// that the next read of the file comes from the disk, not from memory: a copy read back this way shows what
// the disk really holds. False when the disk refused to take the data.
bool SyncToDiskAndForget(QFileDevice &file);
