#pragma once

#include <QString>

// Where the locks that keep a second copy from running live: one fixed folder that no environment variable
// ($TMPDIR, $USER) moves, so that every start of one program folder, whoever starts it and however, meets
// the same locks. A build for another system gives its own.
QString LockFolder();
