#include "BenchProgram.h"

#include "EventLoopWaits.h"
#include "app/BackupController.h"
#include "app/KVZ.h"
#include "app/ProgramWindow.h"
#include "schedule/BackupRunner.h"

#include <QApplication>
#include <QTime>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

BenchProgram::BenchProgram(Progress progress) : progress_(progress)
{
    QApplication::setApplicationDisplayName(u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    QApplication::setQuitOnLastWindowClosed(false);
    server_.addLogin(u"sa"_s, u"pw"_s);
    server_.addDatabase(u"STOK"_s);
}

BenchProgram::~BenchProgram() = default;

std::optional<QString> BenchProgram::start()
{
    if (!server_.listen())
        return u"the test server cannot listen"_s;
    // The daily hour lies twelve hours away, so no scheduled run falls into a measurement.
    const QString farHour = u"%1"_s.arg((QTime::currentTime().hour() + 12) % 24, 2, 10, QChar(u'0'));
    if (!folder_.isValid() ||
        !folder_.write(
            server_.port(),
            {.password = u"pw"_s, .dailyHour = farHour, .interval = u"Günlük yedekleme saatinde kopyala"_s}))
        return u"cannot write the program folder"_s;
    if (progress_ == Progress::Shown) {
        program_ = MakeProgram(folder_.path(), clock_, elapsed_);
    } else {
        program_.controller = std::make_unique<BackupController>(
            folder_.path(), clock_, elapsed_,
            MakeBackupRunner(
                folder_.path(), [&c = clock_] { return c.now(); }, elapsed_));
        program_.window = std::make_unique<KVZ>(*program_.controller);
    }
    program_.window->startUp();
    const std::optional<FinishedRun> startUpRun = WaitForRun(*program_.controller, 30s);
    if (!startUpRun || !startUpRun->result.ok)
        return u"the start-up backup failed"_s;
    return std::nullopt;
}
