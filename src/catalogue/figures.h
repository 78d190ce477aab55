#pragma once

#include "catalogue/money.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The catalogue's figures as the three statistics lists and the charts show
// them. Both are counted by the same rules, so that a chart never tells
// another story than a list:
//  - a category counts the books whose book_cate equals its name, compared
//    as the text's bytes (书籍数目统计);
//  - a code counts the books for which "book_loan=1" (and so on) holds
//    (借入借出统计);
//  - money is summed by the purchase-money arithmetic (see money.h), prices
//    that are no number left out of the sums and named (购买金额统计).
namespace figures {

// The books of each stored category text, and of all.
struct CategoryBooks
{
    // A stored text's UTF-8 bytes: its books. No value and a blob never
    // equal a category's name: their books count among all books only.
    QHash<QByteArray, qint64> byText;
    qint64 all = 0;

    // The books for which book_cate = name holds, the name bound as a text.
    qint64 of(const QString &name) const { return byText.value(name.toUtf8()); }
};

// Own books (loan code 1), borrowed in (2), lent out (3), and all books.
struct LoanCounts
{
    qint64 own = 0;
    qint64 borrowedIn = 0;
    qint64 lentOut = 0;
    qint64 all = 0;
};

// How many books the statistic's message names one by one.
inline constexpr int kNamedAtMost = 20;

// The purchase money of every book.
struct Money
{
    money::Tally tally;
    // Books whose price is no number: counted among the books, left out of
    // the sum.
    qint64 leftOut = 0;
    // The first of them in the order of the file (book_id), at most
    // kNamedAtMost: "《title》（价格：price）".
    QStringList named;
};

// A part of a chart: its label and its books.
struct Part
{
    QString label;
    qint64 books = 0;
};

// The code columns a chart shows.
enum class Code { Loan, Read, Rating };

// Books bought and money spent in one year of the purchase date.
struct Year
{
    QString label; // "2003", or "日期未知"
    qint64 books = 0;
    money::Fen spent = 0;
};

// How many prices that are no number the purchase chart names.
inline constexpr int kPricesNamed = 5;

// Books and money per purchase year, oldest first; books with no purchase
// date or one that is no date last, as 日期未知.
struct Purchases
{
    std::vector<Year> years;
    // Books whose price is no number: counted in their year, their price
    // left out of its sum.
    qint64 leftOut = 0;
    // Those prices, each once, in the order of the file's groups (at most
    // kPricesNamed of them).
    QStringList leftOutPrices;
};

// Drops the parts of no book (the other parts keep their order); when none
// is left, the chart is empty.
std::vector<Part> withBooks(std::vector<Part> parts);

} // namespace figures
