#pragma once

#include <QString>

// One size: seeds a data file with the given number of books in a new
// temporary program folder, starts the program's windows on it, measures
// start, list fill, category click, sorting and deleting on the real code
// beside their floors, and prints one line per figure. Needs the
// QApplication to exist. Throws on any failure.
namespace sizerun {

struct Options
{
    int books = 0;
    int runs = 5;
    QString tempBase; // where the temporary program folder is made
};

void measure(const Options &options);

} // namespace sizerun
