// The books that are out and in, and the two ways a loan ends.
#include "catalogue.h"

#include "bookselect.h"
#include "store/codes.h"
#include "store/dataset.h"
#include "store/datetext.h"

#include <algorithm>

namespace {

// Longest out first; books without a readable date at the end, in number
// order.
void order(std::vector<loanlist::Loan> &loans)
{
    std::stable_sort(loans.begin(), loans.end(), [](const loanlist::Loan &a, const loanlist::Loan &b) {
        if (a.dateKnown() != b.dateKnown())
            return a.dateKnown();
        if (a.dateKnown() && a.days != b.days)
            return a.days > b.days;
        return a.number.toLongLong() < b.number.toLongLong();
    });
}

} // namespace

loanlist::Lists Catalogue::loanLists(QDate today) const
{
    loanlist::Lists lists;
    Dataset books(connection());
    ScopedClose closing(books);
    // The filter only narrows the scan; each code is judged again below.
    books.setCommandText(QStringLiteral("select book_id, book_name, book_reader, book_loand, book_cate, book_loan "
                                        "from book where book_loan in (2, 3, '2', '3') order by book_id"));
    books.open();
    for (; !books.eof(); books.next()) {
        const int code = codes::number(books.fieldByName(u"book_loan"));
        if (code != codes::kLentOut && code != codes::kBorrowedIn)
            continue;
        loanlist::Loan loan;
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

bool Catalogue::returnFromLoan(qint64 id)
{
    bool found = false;
    {
        Dataset book(writing());
        ScopedClose closing(book);
        found = bookselect::openByNumber(book, id);
        if (found) {
            // The one field that makes the book the user's own again.
            book.edit();
            book.setFieldByName(u"book_loan", QStringLiteral("1"));
            book.post();
        }
    }
    // A book gone meanwhile loses its row.
    if (found)
        Q_EMIT bookChanged(id);
    else
        Q_EMIT bookRemoved(id);
    return found;
}
