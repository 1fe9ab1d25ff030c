#include "EventLoopWaits.h"

#include "app/BackupController.h"

#include <QEventLoop>
#include <QTimer>

void Pause(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

std::optional<FinishedRun> WaitForRun(BackupController &controller, std::chrono::milliseconds timeout)
{
    std::optional<FinishedRun> finished;
    QEventLoop loop;
    const QMetaObject::Connection stamp =
        QObject::connect(&controller, &BackupController::runFinished, [&](const BackupResult &result) {
            finished = FinishedRun{result, std::chrono::steady_clock::now()};
            loop.quit();
        });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(stamp);
    return finished;
}
