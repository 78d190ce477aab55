#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// Reading the texts of a CSV file's fields into the values a book stores.
namespace bookvalues {

// A spreadsheet's way of keeping a number as text, ="0316769177", and the
// brackets some catalogues put around an ISBN, [0316769177], undone; any
// other text as it is.
QStringView unwrapFormula(QStringView text);

// Which of day and month comes first in a date written with the year last
// (03/04/2020): decided for a whole column from its values, by the user,
// or not at all.
enum class DateOrder : unsigned char {
    Unknown, // such dates stay unread where day and month could swap
    Ymd,     // only dates with the year first are read
    Dmy,
    Mdy,
};

// What a date with the year last says of the order of its column.
enum class DateHint : unsigned char {
    None,       // no such date, or one that reads the same either way
    DayFirst,   // 13/04/2020
    MonthFirst, // 04/13/2020
    Either,     // 03/04/2020
};

// A day written as:
//   2024-05-01, 2024/5/1, 2024.5.1, 2024-05 (its first day), 2024年5月1日,
//   2024年5月, a year alone of three or four digits (its 1 January);
//   1.5.2024 (day first, as the dot is written), 1/5/2024 and 1-5-2024 (by
//   order; a day past 12 settles it);
//   Sep 7, 2020, September 7 2020, 7 Sep 2020;
// each optionally followed by a time of day (10:22, 10:22:00, T10:22:00Z,
// +08:00, 10:22 PM) and nothing else. An invalid date for anything else,
// and for a date whose day and month could swap when order is Unknown or
// Ymd. hint, when given, says what the text tells of the order.
QDate readDate(QStringView text, DateOrder order = DateOrder::Unknown, DateHint *hint = nullptr);

// A whole number, blanks around it allowed.
std::optional<qint64> readWhole(QStringView text);

// The code of a rating, loan or read text: the program's own texts (also
// "非常喜爱", the entry window's word), or a whole number taken as the code
// itself, in range or not. Nothing for any other text.
std::optional<qint64> readRating(QStringView text);
std::optional<qint64> readLoan(QStringView text);
std::optional<qint64> readRead(QStringView text);

// A rating in stars, 5 the best, out of scale (5, or 10 for catalogues that
// count half stars as whole points): halves round up to the nearer star
// ("3.5" is 4 stars), 10 points make 5 stars. The code of the program's five
// words, 5 stars being "非常喜欢"; no stars (0) is no rating (0). Nothing for
// any other text.
std::optional<qint64> readStars(QStringView text, int scale = 5);

// A yes or no of whether a book was read ("1", "true", "yes", "x", "已读";
// "0", "false", "no", "未读"): the read code, 1 read and 2 not.
std::optional<qint64> readFlag(QStringView text);

// The shelf of reading state a book stands on (or shelves, separated by
// commas): a shelf "read" makes it read (1), any other shelf not read (2),
// no shelf says nothing (0).
qint64 readShelf(QStringView text);

// The names of a field that holds several authors, split on "|", "&", ";",
// "；" and "，"; blanks around each taken off, empty names left out.
std::vector<QStringView> splitNames(QStringView text);

// The publisher of a publication line such as "Little, Brown (1991),
// Paperback, 214 pages": the text before the year in brackets, or the whole
// line.
QStringView publisherOf(QStringView text);

// The key by which two ISBNs are the same book: digits and X without
// hyphens and blanks, an ISBN-10 turned into its ISBN-13. "" for no ISBN.
QString isbnKey(QStringView isbn);

} // namespace bookvalues
