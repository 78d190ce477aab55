#pragma once

#include <span>
#include <string_view>

// The steps of the user's session that the benchmark times, in the order a
// user takes them, each with the targets it is judged by. The targets
// differ with the size: below a million books most commands should answer
// within a tenth of a second; at a million, the figures are judged against
// their floors.
namespace steps {

inline constexpr int kLargeFrom = 1000000;

enum class Rule {
    None,
    UnderMs,              // median under value milliseconds
    WithinFloor,          // median at most value times the floor
    WithinFloorPlusPaint, // median at most value times the floor, plus a repaint of the main window
};

struct Target
{
    Rule rule = Rule::None;
    double value = 0;
    // What the floor is, in the target's words, when it is no SQL ("20
    // columns"); null for the SQL floor.
    const char *floorName = nullptr;
};

struct Step
{
    std::string_view id;
    std::string_view label;
    Target small[2]; // below kLargeFrom books
    Target large[2]; // kLargeFrom books and more
    // Taken by a child process: the benchmark's own memory says nothing
    // about it (see kImportMemory).
    bool child = false;
};

std::span<const Step> all();
// The step of that id; null for none.
const Step *find(std::string_view id);

// The step whose median is the painting allowance of WithinFloorPlusPaint.
inline constexpr std::string_view kPaint = "paint";
// The step whose peak memory is judged against the start target.
inline constexpr std::string_view kStart = "start";

// Memory targets at kLargeFrom books and more.
inline constexpr double kStartPeakMb = 350;
inline constexpr double kStepRiseMb = 50;

// At every size: the peak memory of the import on the command line (a child
// process) over the same program's peak importing one book, at most this
// many times the file's size.
inline constexpr std::string_view kImportMemory = "csv.cli";
inline constexpr double kImportMemoryPerFileByte = 3;
// Judged from a file of this size: below it (a few thousand books) the
// file's bytes are lost among the program's own allocations.
inline constexpr double kImportMemoryFromMb = 10;

} // namespace steps
