#pragma once

#include <QString>
#include <QStringList>

// Seeding a data file for the benchmark: a new, empty catalogue made the way
// the program makes one, then filled through the SQLite C API in a single
// transaction. The books are made up but look like a real collection:
// Chinese and Latin titles, authors and publishers, ISO dates, prices as
// text, codes for rating, loan and read state, a short summary each.
// The same count always gives the same books.
namespace seed {

inline constexpr int kCategoryCount = 50;

// The category names, in the order they are stored (and shown in the tree).
QStringList categoryNames();

// Creates the file at path with the given number of books. Throws
// std::runtime_error on failure.
void makeCatalogue(const QString &path, int books);

} // namespace seed
