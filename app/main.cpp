#include "app/BackupRunner.h"
#include "app/Clock.h"
#include "app/KVZ.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("ZANTO POS SQL YEDEKLEME MODÜLÜ"));
    // The program lives on behind its window: only "Kapat" ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QCoreApplication::applicationDirPath();
    SingleInstance instance(SingleInstance::KeyFor(programFolder));
    if (!instance.claim())
        return 0;

    SystemClock clock;
    KVZ window(programFolder, clock, MakeBackupRunner(programFolder, clock));
    QObject::connect(&instance, &SingleInstance::showRequested, &window, &KVZ::showWindow);
    QObject::connect(&window, &KVZ::exitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.startUp();
    const int code = QApplication::exec();
    // The user chose not to wait for a run that does not return (a server that stopped answering):
    // end without the destructors, which would wait for it.
    if (window.isRunInFlight())
        std::_Exit(code);
    return code;
}
