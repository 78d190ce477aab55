#include "loanlist.h"

#include <algorithm>
#include <map>

namespace loanlist {
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
