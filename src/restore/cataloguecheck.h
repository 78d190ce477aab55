#pragma once

#include <QDateTime>
#include <QString>

// Whether a file is a whole, readable catalogue: an SQLite file that passes
// its integrity check and holds the six tables with all their columns.
namespace restore {

struct CatalogueFacts
{
    bool exists = false;
    bool catalogue = false; // a whole catalogue, fit to be restored
    QString problem;        // why not, in words for the user ("" when it is)
    QDateTime modified;     // the file's modification time
    qint64 books = -1;      // the number of books, -1 when unknown
};

// Reads the file without changing it. Never throws: what is wrong is said in
// problem.
CatalogueFacts inspect(const QString &path);

} // namespace restore
