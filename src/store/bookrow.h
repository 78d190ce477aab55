#pragma once

#include "dataset.h"
#include "packedrows.h"

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

// The book list keeps its rows packed (see packedrows), one text per cell.
// Appends a row of texts (at most 17) to rows.
void appendRow(PackedRows &rows, const QStringList &texts);
// The texts of a packed row.
QStringList rowTexts(const PackedRows &rows, int row);

// Builds packed rows straight from the rows of a "select * from book" scan,
// by the same rule as build(); the columns are looked up by name once.
class PackedBuilder
{
public:
    // Appends the scanned book's row to rows.
    void build(const Dataset::Row &row, PackedRows &rows);

private:
    std::array<int, kColumnCount> m_index{};
    bool m_resolved = false;
    QByteArray m_cell;
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
