#pragma once

#include "importoptions.h"

#include <QString>

#include <cstdio>
#include <unistd.h>

class BookImport;
class Catalogue;

// The CSV commands without a window, for the command line:
//
//   quillmere --export-csv FILE    every book of the catalogue into FILE
//   quillmere --import-csv FILE    the books of FILE into the catalogue
//
// Each prints one line that sums up what it did and returns the program's
// exit status: 0 when done, 1 when refused or failed (the reason printed to
// the error output, naming the file). When the catalogue has a start-up
// password, it is asked for on the terminal without echo; a wrong password,
// or an input that is no terminal, refuses the command. The import leaves
// out duplicates and records with values it cannot read (each listed on the
// error output), as the import window does by default, and refuses while a
// Quillmere window holds the catalogue. Only Qt Core is needed: no display.
namespace csvcommand {

// Where a command reads the password and writes its lines.
struct Terminal
{
    int input = STDIN_FILENO;
    std::FILE *out = stdout;
    std::FILE *err = stderr;
};

// The commands on the catalogue, which is not locked: the import takes its
// lock only to write (not for a dry run), and refuses when another
// Quillmere holds it.
int exportBooks(Catalogue &catalogue, const QString &csvFile, const Terminal &terminal = Terminal());
int importBooks(Catalogue &catalogue, const QString &csvFile, const ImportOptions &options = {},
                const Terminal &terminal = Terminal());

// Sends the columns of the mapping to their fields; throws UserError naming
// the header or the field that is not known.
void applyMapping(BookImport &books, const ImportOptions &options);

} // namespace csvcommand
