#pragma once

#include <QString>

class Floor;

// The export dialogs on the program's own code: opening a dialog (the grid's
// snapshot of the book table), the HTML page of every book and the Excel
// worksheet of as many books as a sheet holds (65,535; every book when there
// are fewer). Each export is timed beside the floor of writing the same
// number of bytes to a file in the same folder. Needs the windows to exist.
// Throws on any failure.
namespace exportrun {

struct Figures
{
    double openMs = 0;      // the HTML dialog shown: the grid takes its snapshot
    double openFloorMs = 0; // reading the same rows through the SQLite C API
    double htmlMs = 0;
    double htmlFloorMs = 0;
    qint64 htmlBytes = 0;
    int htmlBooks = 0;
    double excelMs = 0;
    double excelFloorMs = 0;
    qint64 excelBytes = 0;
    int excelBooks = 0;
    double gridResidentMb = 0; // resident memory with both grids holding their snapshots
};

Figures measure(Floor &floor, const QString &outFolder, int books, int runs);

} // namespace exportrun
