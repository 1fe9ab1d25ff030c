#pragma once

#include <chrono>

// One measured value, as the line "sample <key> <value>" that run.sh gathers into its table.
void PrintSample(const char *key, double value);

double Milliseconds(std::chrono::steady_clock::duration duration);
