#pragma once

#include <QString>

// The program folder: the folder of the running program, where the data file
// and the help document live. The data file is opened by its bare name, so
// the program keeps this folder the current one, and sets it again after
// anything that may have moved it.
namespace programfolder {

// The folder's path, with a trailing separator.
QString path();

// Makes the program folder the current folder; throws UserError if it
// cannot be entered.
void enter();

// Tests point the program folder at a folder of their own; an empty path
// returns to the real one.
void setOverride(const QString &folder);

} // namespace programfolder
