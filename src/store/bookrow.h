#pragma once

#include "dataset.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

// A book as the book list shows it: one row of 17 texts, the title first.
namespace bookrow {

inline constexpr int kColumnCount = 17;

// Column indexes of the book list.
enum Column {
    Title = 0,
    Category = 1,
    Author = 2,
    Author2 = 3,
    Language = 4,
    Isbn = 5,
    Publisher = 6,
    PubDate = 7,
    Pages = 8,
    BuyPlace = 9,
    BuyDate = 10,
    Price = 11,
    Rating = 12,
    Loan = 13,
    Read = 14,
    Counterpart = 15,
    Number = 16,
};

// The fields of one book, each as text, as the row is built from them.
struct Fields
{
    QString name, cate, author, author2, language, isbn, pub, pubd, pages, buya, buyd, value;
    QString rating, loan, readed, reader, id;
};

// The row for a book: the title, the eleven texts as stored, the rating
// text, then by the loan code "自己拥有" / "借入" / "已借出", the read text,
// the counterpart (empty for an own copy) and the book number. A code out of
// range adds nothing at its place, so the texts after it stand one column
// further left; a loan code out of range ends the row after the rating.
QStringList build(const Fields &book);

// A row packed into one string, as the book list keeps it: a hundred
// thousand rows stay small and cost one allocation each.
struct Packed
{
    QString text;
    std::array<quint32, kColumnCount> ends{};
    quint8 count = 0;

    QStringView cell(int column) const;
    QStringList toList() const;
    static Packed fromList(const QStringList &texts);
};

// Builds packed rows straight from the rows of a "select * from book" scan,
// by the same rule as build(); the columns are looked up by name once.
class PackedBuilder
{
public:
    Packed build(const Dataset::Row &row);

private:
    std::array<int, kColumnCount> m_index{};
    bool m_resolved = false;
    std::vector<QChar> m_scratch;
};

// Reads the fields of the current record of an open "select * from book"
// dataset. The columns are looked up by name once, when it is made.
class RecordReader
{
public:
    explicit RecordReader(const Dataset &dataset);
    Fields read() const;

private:
    const Dataset &m_dataset;
    std::array<int, kColumnCount> m_index{};
};

// The header and the width at start of each column.
QString header(int column);
int initialWidth(int column);

} // namespace bookrow
