// Times one copy-and-check of a backup into a second folder (CopyAndCheck on a worker thread) while the
// main thread's event loop runs a 10 ms timer, and prints the copy's time and the longest gap between the
// timer's ticks: how long the interface thread would have been kept from its events.
// Usage: kvz_bench_secondcopy <source file> <destination folder>
#include "backup/CopyAndCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtConcurrent>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kvz_bench_secondcopy <source file> <destination folder>\n");
        return 2;
    }
    qint64 longestGapNs = 0;
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QElapsedTimer copyTime;
    QFutureWatcher<Result<CheckedCopy>> watcher;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &app, &QCoreApplication::quit);
    sinceTick.start();
    ticks.start(10);
    copyTime.start();
    watcher.setFuture(QtConcurrent::run([&] { return CopyAndCheck(args[1], args[2]); }));
    app.exec();
    const qint64 copyNs = copyTime.nsecsElapsed();
    const Result<CheckedCopy> copy = watcher.result();
    if (!copy) {
        std::fprintf(stderr, "%s %s\n", qPrintable(copy.failure().reason), qPrintable(copy.failure().detail));
        return 1;
    }
    // The gap is measured against the 10 ms the timer asks for.
    std::printf("%s %.3f %.3f\n", qPrintable(copy->path), double(copyNs) / 1e9, double(longestGapNs) / 1e6);
    return 0;
}
