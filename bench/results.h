#pragma once

#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// What one process run measured, as it hands it to the process that
// started it: a small tab-separated file.
namespace results {

// One step of the run, in the order it was taken.
struct Figure
{
    std::string id;
    double ms = 0;
    std::optional<double> floorMs;
    double peakMb = 0; // the process's peak resident memory up to the end of the step
    double riseMb = 0; // the step's own peak over the resident memory before it
};

// The peak memory of a program run as a child process on a file, beside
// the same program's peak doing nothing comparable.
struct ChildMemory
{
    std::string id;
    double fileBytes = 0;
    double peakMb = 0;     // the child doing the work
    double baselineMb = 0; // the same program on a file of one record
};

struct Run
{
    std::vector<Figure> figures;
    std::vector<ChildMemory> memory;
    // Facts of the run worth printing once: what was clicked, found, written.
    std::vector<std::pair<std::string, std::string>> notes;

    Figure *find(const std::string &id);
    const Figure *find(const std::string &id) const;
    std::string note(const std::string &key) const;
};

// Throw std::runtime_error when the file cannot be written or read.
void write(const QString &path, const Run &run);
Run read(const QString &path);

} // namespace results
