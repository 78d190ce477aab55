#pragma once

#include <QString>

// Making a large catalogue: a new, empty data file made by the program's
// own code, then filled with the made-up books (see seedbooks.h) and the
// category, author, publisher and book friend lists they draw on, through
// the SQLite C API, in one transaction with prepared statements. The same
// count always gives the same file contents.
namespace seed {

struct Summary
{
    int books = 0;
    int categories = 0;
    int authors = 0;
    int publishers = 0;
    int readers = 0;
    int borrowed = 0;
    int lent = 0;
};

// Creates the file at path, which must not exist. Throws on failure.
Summary makeCatalogue(const QString &path, int books);

} // namespace seed
