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
        return format("<= %gx %s", t.value, t.floorName ? t.floorName : "floor");
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

// The peak memory of the import on the command line over the same
// program's peak importing one book, per byte of the file, judged in each
// run; printed for the run where it is largest. Returns the targets missed.
int printChildMemory(const std::vector<results::Run> &runs)
{
    const results::ChildMemory *worst = nullptr;
    double worstRatio = 0;
    for (const results::Run &run : runs) {
        for (const results::ChildMemory &m : run.memory) {
            const double ratio = m.fileBytes > 0 ? (m.peakMb - m.baselineMb) * 1048576.0 / m.fileBytes : 0;
            if (m.id == steps::kImportMemory && (!worst || ratio > worstRatio)) {
                worst = &m;
                worstRatio = ratio;
            }
        }
    }
    if (!worst)
        return 0;
    const double fileMb = worst->fileBytes / 1048576.0;
    const bool judged = fileMb >= steps::kImportMemoryFromMb;
    const bool ok = worstRatio <= steps::kImportMemoryPerFileByte;
    const std::string target = judged ? format("<= %gx the file", steps::kImportMemoryPerFileByte)
                                      : format("(from a file of %g MB)", steps::kImportMemoryFromMb);
    std::printf("\n");
    printTrimmed(padded("memory of the import (a child process)", 44) + format("%9s %9s %9s %7s  %-24s %-7s", "file MB",
                                                                               "peak MB", "1 book MB", "ratio",
                                                                               "target", "verdict"));
    printTrimmed(padded("--import-csv of every book", 44) +
                 format("%9.1f %9.1f %9.1f %6.2fx  %-24s %-7s", fileMb, worst->peakMb, worst->baselineMb, worstRatio,
                        target.c_str(), judged ? (ok ? "OK" : "MISSED") : ""));
    return judged && !ok ? 1 : 0;
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
                "memory (a million books): the peak at the end of the step over the peak after the start.\n"
                "--import-csv: the program importing the CSV file on the command line, as a child process, into\n"
                "a copy of the catalogue; its memory: the child's peak (wait4) over the same program's peak\n"
                "importing one book of the file, per byte of the file (the largest over the runs).\n");
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
        {"csv.narrow.bytes", "import window: 20 columns, bytes"},
        {"csv.wide.bytes", "import window: 2,000 columns, bytes"},
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
        if (step.child) {
            // The child's memory is judged below.
        } else if (large && step.id == steps::kStart) {
            memory =
                format("< %.0f MB ", steps::kStartPeakMb) + (largest(f.peaks) < steps::kStartPeakMb ? "OK" : "MISSED");
        } else if (large && step.id != "start.windows") {
            memory = format("%+.0f, <= +%.0f MB ", largest(f.overStart), steps::kStepRiseMb) +
                     (largest(f.overStart) <= steps::kStepRiseMb ? "OK" : "MISSED");
        }
        missed += verdict == "MISSED";
        missed += memory.ends_with("MISSED");
        const std::string peak = step.child ? "-" : format("%.1f", largest(f.peaks));
        const std::string rise = step.child ? "-" : format("%+.1f", largest(f.rises));
        printTrimmed(padded(std::string(step.label), 44) + format("%9.2f %9.2f %9s %7s  %-24s %-7s %8s %8s  %s", ms,
                                                                  largest(f.ms), floor.c_str(), ratio.c_str(),
                                                                  target.c_str(), verdict.c_str(), peak.c_str(),
                                                                  rise.c_str(), memory.c_str()));
    }
    missed += printChildMemory(runs);
    std::printf("  %d target%s missed\n", missed, missed == 1 ? "" : "s");
    std::fflush(stdout);
}

} // namespace report
