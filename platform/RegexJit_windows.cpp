// Qt keeps the stack of its regular-expression compiler per thread in a C++ thread_local with a destructor.
// With MinGW that destructor is run by a winpthreads key when a thread ends, under the loader lock; a worker
// thread of a pool still ending when the process exits is cut off there, holding winpthreads' own lock,
// and the exit then waits for that lock for ever (seen as every test program hanging after its last test).
// Without the compiler no thread ever makes that thread_local; the patterns here are short and few.

#include <QByteArray>
#include <QtGlobal>

namespace {

const bool kInterpreted = qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));

} // namespace

// Named by the link options of kvz_platform, so that every program linking it keeps this file.
extern "C" const bool kvzRegexInterpreted = kInterpreted;
