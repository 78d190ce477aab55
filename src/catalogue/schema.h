#pragma once

#include <QString>

// Making a new, empty catalogue: the six tables, one row in reg with an empty
// password, no books and no categories.
namespace schema {

// The schema as SQL, for the tools and the tests that seed files.
const char *sql();

// Creates the file at path. The file is built under a temporary name beside
// it and renamed into place only when complete, so no half-made catalogue is
// ever left. Throws UserError when the path already exists or on failure.
void create(const QString &path);

} // namespace schema
