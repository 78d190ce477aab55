#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The arithmetic of the purchase-money statistic, on prices typed freely as
// text. Amounts are kept exactly, in fen (hundredths of a yuan).
namespace money {

// Wide enough that no sum of prices can overflow.
using Fen = __int128;

// The value of a price in fen: an optional sign, then digits with at most one
// decimal point ("29.80", "-5", ".5", "12."); blanks around it are ignored.
// Digits beyond the second decimal round half away from zero. No value for a
// text that is no such number ("三十元", "1,200", "") or too large to be a
// price.
std::optional<qint64> parsePrice(QStringView text);

// An amount as the statistic shows it: a whole number when it is whole
// ("22", "-5"), two decimals otherwise ("29.80", "-0.50").
QString amountText(Fen amount);

// Counts the books and sums their prices.
class Tally
{
public:
    enum class Outcome { Empty, Counted, NotANumber };

    // Counts books with the same price text (one unless told): the same as
    // adding the price that many times. An empty price (or blanks only) adds
    // nothing to the sum, and neither does a text that is no number.
    Outcome add(QStringView price, qint64 books = 1);

    qint64 books() const { return m_books; }
    Fen total() const { return m_total; }
    // The sum divided by the number of books (every book counts, those
    // without a price or with one that is no number too). While every price
    // counted is whole yuan, the average is whole yuan too, its fraction cut
    // off towards zero (7, 7 and 8 give 7). Once a price counted has fen,
    // the average is rounded to the nearest fen, halves away from zero
    // (246.50 over 4 books gives 61.63). 0 when there is no book.
    Fen average() const;

private:
    qint64 m_books = 0;
    Fen m_total = 0;
    bool m_decimals = false; // a price counted is not whole yuan
};

} // namespace money
