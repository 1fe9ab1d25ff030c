#include "Sample.h"

#include <cstdio>

void PrintSample(const char *key, double value)
{
    std::printf("sample %s %.3f\n", key, value);
    std::fflush(stdout);
}

double Milliseconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}
