#pragma once

#include <QString>
#include <chrono>

// The time since the machine started, sleep included: a monotonic clock that stops in sleep would hold
// back the interval run that a machine waking after its copy time owes.
std::chrono::milliseconds SinceBoot();

// Names the boot SinceBoot counts from; empty when the system does not say.
QString BootId();
