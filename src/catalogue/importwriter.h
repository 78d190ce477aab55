#pragma once

#include "bookimport.h"

#include <QString>

#include <functional>
#include <map>

class Connection;

// Adding the books of a judged import to the catalogue, whole or not at all.
namespace importwriter {

struct Summary
{
    int added = 0;
    int duplicates = 0; // duplicates left out
    int blank = 0;
    // The records the file spoils, left out, by heading.
    std::map<QString, int> problems;
    // The books added with a value left empty, and the values by heading.
    int warned = 0;
    std::map<QString, int> warnings;
    // The file's columns that went nowhere, in words ("" for none).
    QString ignoredColumns;
    // Names that were not yet in their lists and were added to them.
    int categories = 0, publishers = 0, authors = 0, readers = 0;
    bool cancelled = false;
    bool planned = false; // told before writing (a dry run): "可以导入"

    int problemCount() const;
    // The summary in words, several lines.
    QString text(const QString &file) const;
    // The same in one line, for the command line.
    QString line() const;
};

// Told how many of the books were written; false stops the import.
using Progress = std::function<bool(int done, int total)>;

// What the import would do, without writing: the counts of a summary.
Summary plan(const BookImport &books, bool withDuplicates);

// Adds the books judged Good, and the duplicates too when withDuplicates,
// to the catalogue open on that connection, in one transaction; with them the
// categories, publishers, authors (first and second) and book friends their
// books name that are not yet in their lists. A failure on the way throws
// UserError and leaves the catalogue as it was; so does a stop asked by
// progress, which returns a summary marked cancelled.
Summary write(Connection &connection, const BookImport &books, bool withDuplicates, const Progress &progress = {});

} // namespace importwriter
