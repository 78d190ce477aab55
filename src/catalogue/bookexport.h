#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class Connection;

// Writing every book of the catalogue to a CSV file: one header row, then
// one record per book in the order of the book numbers, the nineteen
// columns of table book in the table's order (see bookcolumns). UTF-8 with
// a byte-order mark, records ended by CR LF, fields quoted as RFC 4180 says.
//
// Values: no value is written as nothing, an empty text as "". Codes are
// written as their texts ("非常喜欢", "已借出", "已读"); a code out of range
// as its number, which reads back as the same number. Dates as stored,
// yyyy-MM-dd. Stored numbers as their digits; a stored text as it is, but
// one that a spreadsheet would take for a formula (see formulaguard) with
// one ' before it, also in a column of numbers (a price stored as the text
// "-12.5" is written '-12.5).
//
// Before anything is read or written the target is checked (savetarget): a
// file of the catalogue or of the program is refused, whatever is asked.
namespace bookexport {

// The header: the book list's captions for the columns it shows, and the
// program's names for the other two ("借入借出日期", "内容简介").
QStringList header();

// Told how many books were written of how many; false stops the export.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Writes the books of the catalogue open on that connection to a file
// under a temporary name beside target, which takes the target's name only
// when complete. Returns the number of books written, or -1 when progress
// stopped it: then no file is left. Throws UserError naming the file on
// failure, the file that had the name before left as it was.
qint64 write(Connection &catalogue, const QString &target, const Progress &progress = {});

// A book of a chosen list, and its values of the columns written after the
// nineteen (texts, guarded as the book's texts are).
struct ListedBook
{
    qint64 number = 0; // book_id
    QStringList extra;
};

// Writes the listed books in the order given, each record the nineteen
// columns as write() writes them followed by the book's extra values, under
// the header followed by extraHeader. A book no longer in the catalogue is
// left out. Written whole as write() writes; returns the number of books
// written. Throws UserError naming the file on failure.
qint64 writeListed(Connection &catalogue, const QString &target, const std::vector<ListedBook> &books,
                   const QStringList &extraHeader);

} // namespace bookexport
