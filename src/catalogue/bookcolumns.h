#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

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
    Stars,    // a rating of 1 to 5 stars, 5 the best, halves rounded up; 0 for none
    Shelves,  // the one shelf of reading state: "read" makes it read, any other unread
    ReadDate, // the day the book was read: a date makes it read
    Stars10,  // a rating of 0 to 10 points, two points a star
    ReadFlag, // yes or no: read
    Authors,  // several authors: the first, the second, the rest after the second
    LoanedTo, // the book friend it is lent to: a name makes it lent out
    PubInfo,  // a publication line: the publisher before the year in brackets
};
inline constexpr int kTargetCount = int(Target::PubInfo) + 1;

// The table's column a field target writes; -1 for the three readings and
// for None.
inline int columnOf(Target target)
{
    return target >= Target::Name && target <= Target::Note ? int(target) : -1;
}

// The target's name in the import window ("书名", "不导入", ...).
QString caption(Target target);

// The target a file column goes to, by its header: the program's own
// captions, the stored column names, and the headers of other programs'
// exports (see the help), compared without regard to case, blanks and
// quotes around them and invisible characters. None for a header not known,
// and for the known ones that have no place in a book (a review, a site's
// average rating, the day a book was added to a list).
Target targetOf(QStringView header);
// Whether the program knows the header: one that goes to a field, or one
// of those that have no place (the book number among them).
bool isKnownHeader(QStringView header);

// The target of a rating column in a file whose headers show a catalogue
// that counts ratings in points of 0 to 10 (see the help): Stars10 for such
// a file's "rating", else the header's own target.
Target ratingTarget(QStringView header, bool pointsCatalogue);
// Whether the headers are those of such a catalogue.
bool isPointsCatalogue(const std::vector<QStringView> &headers);

} // namespace bookcolumns
