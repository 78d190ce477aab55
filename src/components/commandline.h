#pragma once

#include "catalogue/importoptions.h"

#include <QString>
#include <QStringList>

// The command line of Quillmere and of its restore program. Without
// arguments each works as it always has; besides that they take
//   -h, --help       the options, on the terminal
//   -v, --version    the version, on the terminal
//   --data FILE      another catalogue than the one found by itself
// and Quillmere
//   --force-unlock   takes over a lock of no process running here (see
//                    cataloguelock.h) without asking, at start or to import
// and, without a window,
//   --export-csv FILE   every book into a CSV file
//   --import-csv FILE   the books of a CSV file into the catalogue, with the
//                       import window's choices: --map "列名=字段" (again
//                       for each column), --encoding, --delimiter,
//                       --date-order ymd|dmy|mdy, --duplicates skip|import,
//                       --dry-run
namespace app {

// Which program reads the command line: they differ only in their words.
enum class Program { Quillmere, Restore };

struct CommandLine
{
    enum class Action {
        Run,       // go on, with dataFile when one was named
        Help,      // print text and end well
        Version,   // print text and end well
        Invalid,   // print text as an error and end
        ExportCsv, // write every book into csvFile, no window
        ImportCsv, // read the books of csvFile, no window
    };
    Action action = Action::Run;
    QString dataFile;     // the file named with --data, "" when none
    QString csvFile;      // the file of --export-csv or --import-csv
    ImportOptions import; // the choices of --import-csv
    bool forceUnlock = false; // --force-unlock
    QString text;         // what to print, ending in a new line
};

// Reads the arguments, the program's own name first. The help and the
// version win over anything else on the line, so that they can be asked for
// before Qt has taken out its own options (-platform, -style, ...).
CommandLine parseCommandLine(const QStringList &arguments, Program program);

// The arguments of main() as text.
QStringList argumentList(int argc, char *argv[]);

// The program's version, from the build ("2.0").
QString version();

} // namespace app
