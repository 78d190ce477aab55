#include "report.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace report {
namespace {

constexpr double kMemoryTargetMb = 200.0;
constexpr double kSortTargetMs = 150.0;
constexpr double kFloorFactor = 3.0;

// A field of /proc/self/status in kB ("VmHWM:     12345 kB"), in MB.
double statusMb(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() && line[field.size()] == ':')
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
    return 0.0;
}

// Prints a line without the blanks its empty last fields leave.
void printTrimmed(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

template <class... Args> std::string format(const char *pattern, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

} // namespace

double peakMemoryMb()
{
    return statusMb("VmHWM");
}

double currentMemoryMb()
{
    return statusMb("VmRSS");
}

void printHeader()
{
    printTrimmed(format("%-40s %7s %10s %10s %8s  %-12s %s", "operation", "books", "time ms", "floor ms", "ratio",
                        "target", "verdict"));
    printTrimmed(std::string(104, '-'));
}

void printLine(const Line &line)
{
    char floor[32] = "-";
    char ratio[32] = "-";
    if (line.floorMs) {
        std::snprintf(floor, sizeof floor, "%.2f", *line.floorMs);
        if (*line.floorMs > 0)
            std::snprintf(ratio, sizeof ratio, "%.2fx", line.timeMs / *line.floorMs);
    }
    const char *target = "";
    const char *verdict = "";
    switch (line.target) {
    case Target::None:
        break;
    case Target::WithinFloor3x:
        target = "<= 3x floor";
        verdict = line.floorMs && line.timeMs <= kFloorFactor * *line.floorMs ? "OK" : "OVER";
        break;
    case Target::Under150ms:
        target = "< 150 ms";
        verdict = line.timeMs < kSortTargetMs ? "OK" : "OVER";
        break;
    }
    printTrimmed(format("%-40s %7d %10.2f %10s %8s  %-12s %s", line.operation.c_str(), line.books, line.timeMs, floor,
                        ratio, target, verdict));
}

void printMemory(const std::string &label, int books, double mb, bool judged)
{
    printTrimmed(format("%-40s %7d %7.1f MB %10s %8s  %-12s %s", label.c_str(), books, mb, "", "",
                        judged ? "< 200 MB" : "", judged ? (mb < kMemoryTargetMb ? "OK" : "OVER") : ""));
}

} // namespace report
