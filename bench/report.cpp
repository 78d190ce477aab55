#include "report.h"

#include "steps.h"

#include <QString>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>

#ifndef QM_BENCH_BUILD_TYPE
#define QM_BENCH_BUILD_TYPE "unknown"
#endif

namespace report {
namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double largest(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// The text padded with blanks to the width it takes on a terminal, where
// a Chinese character takes two columns.
std::string padded(const std::string &utf8, int width)
{
    int columns = 0;
    for (const char32_t c : QString::fromStdString(utf8).toUcs4())
        columns += c >= 0x2E80 ? 2 : 1;
    return utf8 + std::string(size_t(std::max(0, width - columns)), ' ');
}

template <class... Args> std::string format(const char *pattern, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

void printTrimmed(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    std::printf("%s\n", line.c_str());
}

// One step over every run.
struct Figures
{
    std::vector<double> ms, floors, peaks, rises;
    // The peak at the end of the step over the peak at the end of the start,
    // in the same run: what the step added to the program's peak memory.
    std::vector<double> overStart;
};

Figures collect(const std::vector<results::Run> &runs, const std::string &id)
{
    Figures f;
    for (const results::Run &run : runs) {
        if (const results::Figure *figure = run.find(id)) {
            f.ms.push_back(figure->ms);
            if (figure->floorMs)
                f.floors.push_back(*figure->floorMs);
            f.peaks.push_back(figure->peakMb);
            f.rises.push_back(figure->riseMb);
            if (const results::Figure *start = run.find(std::string(steps::kStart)))
                f.overStart.push_back(figure->peakMb - start->peakMb);
        }
    }
    return f;
}

std::string targetText(const steps::Target &t)
{
    switch (t.rule) {
    case steps::Rule::None:
        return {};
    case steps::Rule::UnderMs:
        return t.value >= 500 ? format("< %.1f s", t.value / 1000) : format("< %.0f ms", t.value);
    case steps::Rule::WithinFloor:
        return format("<= %gx floor", t.value);
    case steps::Rule::WithinFloorPlusPaint:
        return format("<= %gx floor+paint", t.value);
    }
    return {};
}

bool met(const steps::Target &t, double ms, const std::vector<double> &floors, double paintMs)
{
    switch (t.rule) {
    case steps::Rule::None:
        return true;
    case steps::Rule::UnderMs:
        return ms < t.value;
    case steps::Rule::WithinFloor:
        return !floors.empty() && ms <= t.value * median(floors);
    case steps::Rule::WithinFloorPlusPaint:
        return !floors.empty() && ms <= t.value * median(floors) + paintMs;
    }
    return false;
}

} // namespace

void printPreamble()
{
    std::printf("quillmere_bench: %s build, Qt %s, SQLite %s, %d CPUs\n", QM_BENCH_BUILD_TYPE, qVersion(),
                sqlite3_libversion(), QThread::idealThreadCount());
    std::printf("Each process run takes the user's session once, on a fresh copy of the catalogue, with the main\n"
                "window shown (off screen) and each step's repaint counted: the figures are first runs. median and\n"
                "max: over the process runs. floor: the same SQL directly through the SQLite C API in the same\n"
                "process (for a sort, std::sort of the column's keys; for an export, writing as many bytes).\n"
                "ratio: median / floor. peak: the process's peak resident memory (VmHWM) up to the end of the\n"
                "step; rise: the step's own peak over the memory resident before it (both: largest over the runs).\n"
                "memory (a million books): the peak at the end of the step over the peak after the start.\n");
    std::fflush(stdout);
}

void printNotes(const results::Run &run)
{
    const struct
    {
        const char *key;
        const char *label;
    } notes[] = {
        {"window", "main window (maximised, px)"},
        {"memory.before", "resident MB before start (Qt ready)"},
        {"category", "category clicked"},
        {"find", "search word (查找, titles)"},
        {"tjie", "借入借出统计 (own, borrowed, lent, all)"},
        {"tmoney", "购买金额统计 (books, sum, average)"},
        {"html.bytes", "HTML page, bytes"},
        {"excel.bytes", "worksheet, bytes"},
        {"excel.message", "worksheet refused"},
        {"excel.part.bytes", "worksheet of 65,535 rows, bytes"},
        {"csv.bytes", "CSV file, bytes"},
    };
    for (const auto &n : notes) {
        const std::string text = run.note(n.key);
        if (!text.empty())
            printTrimmed("  " + padded(n.label, 44) + text);
    }
}

void printTable(int books, const std::vector<results::Run> &runs)
{
    const bool large = books >= steps::kLargeFrom;
    const double paintMs = median(collect(runs, std::string(steps::kPaint)).ms);
    std::printf("\n%d books, %zu process runs; targets for %s\n", books, runs.size(),
                large ? "a million books and more" : "fewer than a million books");
    printTrimmed(padded("step", 44) + format("%9s %9s %9s %7s  %-24s %-7s %8s %8s  %s", "median ms", "max ms",
                                             "floor ms", "ratio", "target", "verdict", "peak MB", "rise MB",
                                             large ? "memory" : ""));
    printTrimmed(std::string(large ? 152 : 136, '-'));
    int missed = 0;
    for (const steps::Step &step : steps::all()) {
        const Figures f = collect(runs, std::string(step.id));
        if (f.ms.empty())
            continue;
        const double ms = median(f.ms);
        std::string floor = "-", ratio = "-";
        if (!f.floors.empty()) {
            floor = format("%.2f", median(f.floors));
            if (median(f.floors) > 0)
                ratio = format("%.2fx", ms / median(f.floors));
        }
        std::string target, verdict;
        for (const steps::Target &t : large ? step.large : step.small) {
            if (t.rule == steps::Rule::None)
                continue;
            target += (target.empty() ? "" : ", ") + targetText(t);
            const bool ok = met(t, ms, f.floors, paintMs);
            if (verdict != "MISSED")
                verdict = ok ? "OK" : "MISSED";
        }
        std::string memory;
        if (large && step.id == steps::kStart) {
            memory =
                format("< %.0f MB ", steps::kStartPeakMb) + (largest(f.peaks) < steps::kStartPeakMb ? "OK" : "MISSED");
        } else if (large && step.id != "start.windows") {
            memory = format("%+.0f, <= +%.0f MB ", largest(f.overStart), steps::kStepRiseMb) +
                     (largest(f.overStart) <= steps::kStepRiseMb ? "OK" : "MISSED");
        }
        missed += verdict == "MISSED";
        missed += memory.ends_with("MISSED");
        printTrimmed(padded(std::string(step.label), 44) + format("%9.2f %9.2f %9s %7s  %-24s %-7s %8.1f %+8.1f  %s",
                                                                  ms, largest(f.ms), floor.c_str(), ratio.c_str(),
                                                                  target.c_str(), verdict.c_str(), largest(f.peaks),
                                                                  largest(f.rises), memory.c_str()));
    }
    std::printf("  %d target%s missed\n", missed, missed == 1 ? "" : "s");
    std::fflush(stdout);
}

} // namespace report
