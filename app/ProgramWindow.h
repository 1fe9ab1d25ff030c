#pragma once

#include "schedule/Clock.h"

#include <QString>
#include <memory>

class KVZ;

// The main window with the program's own runner: the settings files read afresh at each run, and each
// percent the server reports shown on YEDEKLE and the tray tip as it arrives. The clocks must outlive it.
std::unique_ptr<KVZ> MakeProgramWindow(const QString &programFolder, const Clock &clock,
                                       const ElapsedClock &elapsed);
