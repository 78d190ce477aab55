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
// text, the loan text ("自己拥有" / "借入" / "已借出"), the read text, the
// counterpart (the reader; empty for an own copy) and the book number, always
// 17 cells, each in its column. A code cell whose stored value is no known
// code (none, out of range, a text such as "abc") shows that value as
// stored, and empty when there is none; the counterpart of a book whose loan
// code is unknown is its stored reader.
QStringList build(const Fields &book);

// The stored fields a book's row is made from, in this order: book_name,
// book_cate, book_author, book_author2, book_language, book_isbn, book_pub,
// book_pubd, book_pages, book_buya, book_buyd, book_value, book_rating,
// book_loan, book_readed, book_reader, book_id. The book list keeps these
// and makes the texts of a row only when they are shown or sorted.
inline constexpr int kFieldCount = 17;
using StoredFields = std::vector<FieldValue>;

// The row for stored fields, by the same rule as build(Fields).
QStringList build(const StoredFields &fields);
// The loan code of stored fields (codes::kOwnCopy ...), 0 when the stored
// value is no known code.
int loanCode(const StoredFields &fields);
// Appends the sort key of one cell of that row (see textorder) to key.
void appendCellKey(const StoredFields &fields, int column, QByteArray &key);
// The cells before the codes (up to and with the price) are the stored
// fields of the same place: the key of such a cell is the key of that one
// value.
inline bool cellIsField(int column)
{
    return column >= Title && column <= Price;
}
// Appends the sort key of one stored value, shown as its cell shows it.
void appendValueKey(const FieldValue &value, QByteArray &key);

// Reads the stored fields of books from the results of "select * from book"
// (a scan's rows, or a dataset's current record) into packed rows, one row
// of kFieldCount values per book. The columns are looked up by name once.
class FieldReader
{
public:
    void read(const Dataset::Row &row, PackedRows &into);
    void read(const Dataset &dataset, PackedRows &into);
    // Whether the field's column holds dates, as last read.
    bool isDate(int field) const { return m_dates[size_t(field)]; }

private:
    std::array<int, kFieldCount> m_index{};
    std::array<bool, kFieldCount> m_dates{};
    bool m_resolved = false;
};

// Appends the fields of a book given as texts, stored as texts.
void appendFields(const Fields &book, PackedRows &into);

// The header and the width at start of each column.
QString header(int column);
int initialWidth(int column);

} // namespace bookrow
