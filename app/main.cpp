#include "app/BackupController.h"
#include "app/DatabaseClaim.h"
#include "app/KVZ.h"
#include "app/ProgramWindow.h"
#include "app/RestoreTestController.h"
#include "app/SingleInstance.h"
#include "platform/QuitSignals.h"
#include "schedule/Clock.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    // The program lives on behind its window: only "Kapat" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QuitSignals quitSignals;

    const QString programFolder = QCoreApplication::applicationDirPath();
    SingleInstance instance(SingleInstance::keyFor(programFolder));
    if (!instance.claim())
        return 0;
    const ConnectionValues values = StoredConnectionValues(SettingsFiles::ConnectionFile(programFolder));
    DatabaseClaim database(values);
    if (!database.claim()) {
        qWarning("another copy already backs up this database: not starting");
        // A logout while the message is open ends it, and the program with it.
        QObject::connect(&quitSignals, &QuitSignals::received, &app, [] { QCoreApplication::exit(0); });
        QMessageBox::warning(
            nullptr, QApplication::applicationDisplayName(),
            u"Bu veritabanını (%1 sunucusundaki %2) başka bir klasörden başlatılmış bir yedekleme "
            u"programı zaten yedekliyor. Aynı yedeğin iki kez alınmaması için bu kopya açılmadı."_s.arg(
                values.server, values.database));
        return 0;
    }

    SystemClock clock;
    SystemElapsedClock elapsed;
    const Program program = MakeProgram(programFolder, clock, elapsed);
    BackupController &controller = *program.controller;
    QObject::connect(&instance, &SingleInstance::showRequested, program.window.get(), &KVZ::showWindow);
    QObject::connect(&quitSignals, &QuitSignals::received, &controller, &BackupController::endOnSignal);
    QObject::connect(&controller, &BackupController::exitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    program.window->startUp();
    program.restoreTests->startUp();
    const int code = QApplication::exec();
    // A run that does not return (a server that stopped answering) was cut off: end without the
    // destructors, which would wait for it, and so give up the claims by hand. Its end is in the history
    // first, as cut short; the history's writes are short and never wait for the run.
    if (controller.isRunInFlight()) {
        controller.waitForHistory();
        database.release();
        instance.release();
        std::_Exit(code);
    }
    return code;
}
