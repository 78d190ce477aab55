#pragma once

#include <QString>

// The program folder, the installed data folder and the catalogue in use.
//
// The program folder is the folder of the running program: the restore
// program lives there, and in a portable copy (the build folder, a copy on a
// stick) the data file and the help document too. An installed program keeps
// its help document and an empty catalogue in its data folder
// (share/quillmere beside bin) and works on the user's own catalogue (see
// cataloguelocation.h).
//
// The catalogue in use is opened by its absolute path (see
// catalogue/catalogue.h). The program keeps the catalogue's folder the
// current one, where the file boxes start, and sets it again after a file
// box that may have moved it.
namespace programfolder {

// The program's folder, with a trailing separator.
QString path();

// The installed data folder, share/quillmere beside the program's bin
// folder, with a trailing separator; whether it exists or not.
QString installedFolder();

// The help document: the one beside the program when there is one, else the
// installed one when there is one, else the name beside the program (which
// a message can then name).
QString helpDocument();

// The installed empty catalogue that a user's first catalogue is made from.
QString catalogueTemplate();

// The catalogue in use, an absolute path: the data file beside the program
// unless another one was chosen for this run.
QString dataFile();
// Its folder, with a trailing separator.
QString catalogueFolder();
// Whether the catalogue in use is the one beside the program.
bool besideProgram();
// Whether this data file is the one beside the program.
bool isBesideProgram(const QString &dataFile);
// Chooses the catalogue for this run; an empty name returns to the one
// beside the program.
void useDataFile(const QString &file);

// Makes the catalogue's folder the current folder; throws UserError if it
// cannot be entered.
void enter();

// Tests point the program folder at a folder of their own, and the catalogue
// back at the one beside it; an empty path returns to the real one.
void setOverride(const QString &folder);

} // namespace programfolder
