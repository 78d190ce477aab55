#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Timing, memory and the printed table.
namespace report {

// Milliseconds since the timer started.
inline double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Times one call, in milliseconds.
inline double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return elapsedMs(timer);
}

// The best (shortest) of the measured runs; noise from the rest of the
// machine only ever adds time.
inline double best(const std::vector<double> &runs)
{
    return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end());
}

// The process's peak resident memory (VmHWM) and current resident memory
// (VmRSS), in MB (2^20 bytes).
double peakMemoryMb();
double currentMemoryMb();

// How an operation's time is judged.
enum class Target {
    None,          // reported only
    WithinFloor3x, // time at most three times the floor
    Under150ms,    // absolute time under 150 ms
};

struct Line
{
    std::string operation;
    int books = 0;
    double timeMs = 0;
    std::optional<double> floorMs; // none: no floor for this line
    Target target = Target::None;
};

void printHeader();
void printLine(const Line &line);
// A line of memory figures: label, books, megabytes, judged against 200 MB
// when judged is true.
void printMemory(const std::string &label, int books, double mb, bool judged);

} // namespace report
