#include "loanlist.h"

#include "store/codes.h"
#include "store/dataset.h"
#include "store/datetext.h"

#include <algorithm>
#include <map>

namespace loanlist {
namespace {

void order(std::vector<Loan> &loans)
{
    std::stable_sort(loans.begin(), loans.end(), [](const Loan &a, const Loan &b) {
        if (a.dateKnown() != b.dateKnown())
            return a.dateKnown();
        if (a.dateKnown() && a.days != b.days)
            return a.days > b.days;
        return a.number.toLongLong() < b.number.toLongLong();
    });
}

} // namespace

Lists read(Dataset &books, QDate today)
{
    Lists lists;
    ScopedClose closing(books);
    // The filter only narrows the scan; each code is judged again below.
    books.setCommandText(QStringLiteral("select book_id, book_name, book_reader, book_loand, book_cate, book_loan "
                                        "from book where book_loan in (2, 3, '2', '3') order by book_id"));
    books.open();
    for (; !books.eof(); books.next()) {
        const int code = codes::number(books.fieldByName(u"book_loan"));
        if (code != codes::kLentOut && code != codes::kBorrowedIn)
            continue;
        Loan loan;
        loan.number = books.fieldByName(u"book_id");
        loan.title = books.fieldByName(u"book_name");
        loan.reader = books.fieldByName(u"book_reader");
        loan.category = books.fieldByName(u"book_cate");
        // The dataset gives a date as the windows show it.
        const QString shown = books.fieldByName(u"book_loand");
        loan.date = shown.isEmpty() ? QDate() : datetext::parse(shown);
        loan.dateText = shown;
        if (loan.dateKnown())
            loan.days = int(loan.date.daysTo(today));
        (code == codes::kLentOut ? lists.lentOut : lists.borrowedIn).push_back(std::move(loan));
    }
    order(lists.lentOut);
    order(lists.borrowedIn);
    return lists;
}

std::vector<Counterparty> byCounterparty(const Lists &lists)
{
    std::map<QString, Counterparty> found;
    for (const std::vector<Loan> *list : {&lists.lentOut, &lists.borrowedIn}) {
        for (const Loan &loan : *list) {
            Counterparty &c = found[loan.reader];
            c.reader = loan.reader;
            ++c.books;
            if (loan.dateKnown())
                c.longestDays = std::max(c.longestDays, loan.days);
        }
    }
    std::vector<Counterparty> out;
    out.reserve(found.size());
    for (auto &entry : found)
        out.push_back(std::move(entry.second));
    return out;
}

QString summaryLine(const Counterparty &c)
{
    const QString who = c.reader.isEmpty() ? QStringLiteral("（未填书友）") : c.reader;
    if (c.longestDays < 0)
        return QStringLiteral("%1：%2 本，日期未知").arg(who).arg(c.books);
    return QStringLiteral("%1：%2 本，最久 %3 天").arg(who).arg(c.books).arg(c.longestDays);
}

} // namespace loanlist
