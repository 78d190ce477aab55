#pragma once

#include "catalogue/money.h"

#include <QString>
#include <QStringList>

#include <vector>

class Dataset;

// The figures behind the catalogue's charts, each from one grouped query and
// counted by the same rules as the three statistics lists, so that a chart
// never tells another story than the list: a category counts the books whose
// book_cate equals its name (书籍数目统计); a code counts the books for which
// "book_loan=1" (and so on) holds (借入借出统计); a price counts by the
// purchase-money arithmetic, prices that are no numbers left out
// (购买金额统计). Every set adds up to all the books.
namespace chartfigures {

struct Part
{
    QString label;
    qint64 books = 0;
};

// Books per category of the category table, largest first (equal ones in
// the table's order); past the first `shown`, and with the books of no
// listed category, gathered under "其他" (left out when there are none).
std::vector<Part> byCategory(Dataset &books, int shown);

// 自己拥有, 借入, 已借出 and, for any other stored code or none, 其他.
std::vector<Part> byLoan(Dataset &books);
// 已读, 未读 and, for any other code or none, 未填.
std::vector<Part> byRead(Dataset &books);
// 非常喜欢 … 很糟糕 and, for any other code or none, 未填.
std::vector<Part> byRating(Dataset &books);

// Books bought and money spent in each year of the purchase date, oldest
// first; books with no purchase date or one that is no date last, as
// 日期未知.
struct Year
{
    QString label; // "2003", or "日期未知"
    qint64 books = 0;
    money::Fen spent = 0;
};
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
inline constexpr int kPricesNamed = 5;
Purchases byPurchaseYear(Dataset &books);

// Drops the parts of no book (the other parts keep their order); when none
// is left, the chart is empty.
std::vector<Part> withBooks(std::vector<Part> parts);

} // namespace chartfigures
