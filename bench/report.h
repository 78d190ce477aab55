#pragma once

#include "results.h"

#include <vector>

// The printed table: for each step of the session, the median and the
// largest time over the process runs, the floor and the ratio, the target
// and its verdict (OK or MISSED), and the peak memory after the step with
// its rise over the step before.
namespace report {

void printPreamble();
void printTable(int books, const std::vector<results::Run> &runs);
// What the run clicked, found and wrote.
void printNotes(const results::Run &run);

} // namespace report
