#pragma once

#include <QString>

// Making a new, empty catalogue: the six tables, one row in reg with an empty
// password, no books and no categories, and the indexes of the question
// whether a book is stored already (see storedalready.h).
namespace schema {

// The schema's tables as SQL, for the tools and the tests that seed files
// (without those two indexes, which the program adds on opening).
const char *sql();

// Creates the file at path. The file is built under a temporary name beside
// it and renamed into place only when complete, so no half-made catalogue is
// ever left. Throws UserError when the path already exists or on failure.
void create(const QString &path);

} // namespace schema
