#pragma once

#include <QString>

// Where the catalogue of a run is, decided once at start.
//
// A catalogue named on the command line is that file. Otherwise the data
// file beside the program wins whenever it is there: a portable copy and the
// build folder work as they always have. An installed program has no data
// file beside it (nobody may write in /usr/bin); it works on the user's own
// catalogue, data.qmd in the user's data folder, made from the installed
// empty catalogue on the first start. A program that is neither (a portable
// copy whose data file is gone) stays with the missing file beside it, which
// the windows then report: no catalogue is ever made anywhere else.
namespace cataloguelocation {

enum class Kind {
    BesideProgram, // data.qmd in the program folder
    Named,         // named on the command line
    Users,         // the user's own, in the user's data folder
};

struct Choice
{
    Kind kind = Kind::BesideProgram;
    QString dataFile; // absolute
};

// Decides without touching anything. named is the file given on the command
// line, "" when none was.
Choice decide(const QString &named);

// The user's own catalogue: data.qmd in the application's data folder,
// $XDG_DATA_HOME/Quillmere/ (typically ~/.local/share/Quillmere/). Throws
// UserError when the system names no such folder.
QString usersDataFile();

// Makes the folder a catalogue goes in, when it is missing. Throws UserError
// naming the folder.
void makeFolderFor(const QString &dataFile);

// Makes dataFile as a whole copy of the installed empty catalogue
// templateFile, writable by its owner; never half a file. Throws UserError
// naming the file that failed.
void copyTemplate(const QString &templateFile, const QString &dataFile);

} // namespace cataloguelocation
