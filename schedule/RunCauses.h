#pragma once

#include <QString>
#include <optional>

// What started a run.
enum class RunCause { Start, Button, Tray, Daily, Interval, CatchUp, Retry };

// The name the history stores for a cause; the log uses it too.
QString RunCauseName(RunCause cause);
// The cause a stored name stands for; none for a name this version does not know.
std::optional<RunCause> RunCauseNamed(const QString &name);
// The cause in the history window's words ("GÜNLÜK").
QString RunCauseCaption(RunCause cause);
