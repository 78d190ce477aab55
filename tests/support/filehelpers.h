#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

// Files for the tests of backups and restores: reading and writing them
// whole, stand-in programs, catalogues with books.
namespace filehelpers {

// The file's bytes; "<missing>" when it cannot be read.
QByteArray bytes(const QString &path);
void writeFile(const QString &path, const QByteArray &content);

// A stand-in for another program: a shell script that notes how it was
// started (number of arguments and working folder) in started.txt in its
// working folder.
void writeProgram(const QString &path);

void seedBooks(const QString &file, int count, int noteLength = 0);
// A new catalogue file with this many books; returns its path.
QString makeCatalogue(const QString &path, int books, int noteLength = 0);

// Everything written to a temporary file (std::tmpfile) that stands for a
// terminal's output, from its start.
QByteArray readAll(std::FILE *file);

// The names of the files in a folder, sorted.
QStringList filesIn(const QString &folder);

} // namespace filehelpers
