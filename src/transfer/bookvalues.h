#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Reading the texts of a CSV file's fields into the values a book stores.
namespace bookvalues {

// A spreadsheet's way of keeping a number as text, ="0316769177", undone;
// any other text as it is.
QStringView unwrapFormula(QStringView text);

// A day written as 2024-05-01, 2024/5/1, 2024.5.1 or 2024年5月1日, with or
// without a time of day after it; a month alone (2024-05, 2024年5月) as its
// first day, a year alone (1999) as its 1 January. An invalid date for
// anything else.
QDate readDate(QStringView text);

// A whole number, blanks around it allowed.
std::optional<qint64> readWhole(QStringView text);

// The code of a rating, loan or read text: the program's own texts (also
// "非常喜爱", the entry window's word), or a whole number taken as the code
// itself, in range or not. Nothing for any other text.
std::optional<qint64> readRating(QStringView text);
std::optional<qint64> readLoan(QStringView text);
std::optional<qint64> readRead(QStringView text);

// A rating of 0 to 5 stars, 5 the best: the code of the program's five
// words, 5 stars being "非常喜欢"; 0 stars is no rating (0). Nothing for any
// other text.
std::optional<qint64> readStars(QStringView text);

// Shelf names separated by commas: "read" makes the book read,
// "to-read" and "currently-reading" unread; the first other name is a
// category.
struct Shelves
{
    qint64 read = 0; // 0 when no shelf says
    QStringView category;
};
Shelves readShelves(QStringView text);

// The key by which two ISBNs are the same book: digits and X without
// hyphens and blanks, an ISBN-10 turned into its ISBN-13. "" for no ISBN.
QString isbnKey(QStringView isbn);
// The key by which a title and first author are the same book; "" when the
// title is empty.
QString titleKey(QStringView title, QStringView author);

} // namespace bookvalues
