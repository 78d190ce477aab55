#pragma once

#include <QString>

// One size, measured as separate process runs: the catalogue made once,
// then for each run a fresh program folder with a copy of it, and this
// program started on it to take the user's session once (see session.h).
// Prints the table of the runs together. Needs a QCoreApplication.
namespace runs {

struct Options
{
    int books = 0;
    int runs = 0;
    QString tempBase;     // where the temporary folders are made
    bool csvOnly = false; // the start and the CSV steps alone
};

// False when a run failed; what failed is printed.
bool measure(const Options &options);

// The run in this process, for the program folder given (see main.cpp).
// Needs no application: it makes its own. Returns the exit code.
int runSession(int argc, char *argv[], const QString &folder, int books, bool csvOnly);

} // namespace runs
