#pragma once

#include <QString>
#include <QStringView>

#include <array>

// The columns of a book in a CSV file, written and read.
//
// The program writes the nineteen columns of table book in the table's
// order, each under its Chinese caption (see bookfields). When it reads a
// file, each column of the file goes to a target: one of the book's fields
// (the book number excepted: the catalogue gives every new book its own),
// one of three readings of other programs' columns, or nowhere.
namespace bookcolumns {

// The columns of table book, in the table's order.
inline constexpr int kColumnCount = 19;
QStringView columnName(int column);

enum class Kind : unsigned char {
    Number, // book_id
    Text,
    Date,   // ISO 8601 text
    Whole,  // book_pages
    Rating, // the three codes
    Loan,
    Read,
};
Kind kind(int column);

// The field a column goes to when a file is read.
enum class Target : unsigned char {
    None,
    // The book's fields after its number, in the table's order: the target
    // of column c is Target(c).
    Name,
    Cate,
    Author,
    Author2,
    Language,
    Isbn,
    Pub,
    PubDate,
    Pages,
    BuyPlace,
    BuyDate,
    Price,
    Rating,
    Loan,
    Read,
    Reader,
    LoanDate,
    Note,
    // Readings of other programs' columns.
    Stars,    // a rating of 1 to 5 stars, 5 the best; 0 for none
    Shelves,  // shelf names: "read", "to-read", "currently-reading", others
    ReadDate, // the day the book was read: a date makes it read
};
inline constexpr int kTargetCount = int(Target::ReadDate) + 1;

// The table's column a field target writes; -1 for the three readings and
// for None.
inline int columnOf(Target target)
{
    return target >= Target::Name && target <= Target::Note ? int(target) : -1;
}

// The target's name in the import window ("书名", "不导入", ...).
QString caption(Target target);

// The target a file column goes to, by its header: the program's own
// captions, the stored column names, and the usual English headers of
// other programs' exports, compared without regard to case and blanks
// around them. None for a header not known (and for the book number).
Target targetOf(QStringView header);
// Whether the header names a column the program knows, the book number
// included.
bool isKnownHeader(QStringView header);

} // namespace bookcolumns
