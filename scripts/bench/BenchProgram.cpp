#include "BenchProgram.h"

#include "EventLoopWaits.h"
#include "app/KVZ.h"
#include "backup/ProgramBackup.h"

#include <QApplication>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

BenchProgram::BenchProgram()
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
    folder_ = std::make_unique<BenchFolder>(server_.port());
    if (!folder_->isValid())
        return u"cannot write the program folder"_s;
    window_ = std::make_unique<KVZ>(folder_->path(), clock_, elapsed_,
                                    MakeBackupRunner(folder_->path(), [&c = clock_] { return c.now(); }));
    window_->startUp();
    const std::optional<FinishedRun> startUpRun = WaitForRun(*window_, 30s);
    if (!startUpRun || !startUpRun->result.ok)
        return u"the start-up backup failed"_s;
    return std::nullopt;
}
