#pragma once

#include <QDate>
#include <QString>

#include <vector>

// The books that are out and in, as the loan overview shows them (read by
// Catalogue::loanLists): every book lent out (loan code 3) and every book
// borrowed in (2), with whom and since when. Codes are read by the book
// list's rule: the decimal text "2" or "3" (a stored whole number reads so
// too); anything else is neither.
namespace loanlist {

struct Loan
{
    QString number; // book_id
    QString title;
    QString reader;   // book_reader, the counterparty
    QString category; // book_cate
    QString dateText; // book_loand as shown, "" when there is none
    QDate date;       // invalid when there is none or it cannot be read
    int days = 0;     // since the date, to today; negative for a date to come

    bool dateKnown() const { return date.isValid(); }
};

struct Lists
{
    std::vector<Loan> lentOut;
    std::vector<Loan> borrowedIn;
};

// Whether the loan is past the limit in days (a loan without a date never
// is).
inline bool overdue(const Loan &loan, int limitDays)
{
    return loan.dateKnown() && loan.days > limitDays;
}

// One line per counterparty over both lists, in the order of their names:
// how many books and the longest time in days (-1 when no book of theirs
// has a date).
struct Counterparty
{
    QString reader;
    int books = 0;
    int longestDays = -1;
};
std::vector<Counterparty> byCounterparty(const Lists &lists);

// "张三：3 本，最久 95 天" ("…，日期未知" when no book has a date).
QString summaryLine(const Counterparty &counterparty);

} // namespace loanlist
