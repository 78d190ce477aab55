#include "chartfigures.h"

#include "store/codes.h"
#include "store/dataset.h"

#include <QHash>

#include <algorithm>
#include <map>

namespace chartfigures {
namespace {

// Counts by a code column as "where column=n" compares, n from 1 to count,
// and the rest; one pass over the books.
std::vector<Part> byCode(Dataset &books, const char *column, int count, QStringView (*name)(int), const QString &rest)
{
    QStringList figures;
    for (int n = 1; n <= count; ++n)
        figures << QStringLiteral("count(*) filter (where %1=%2)").arg(QLatin1String(column)).arg(n);
    ScopedClose closing(books);
    books.setCommandText(QStringLiteral("select %1, count(*) from book").arg(figures.join(QStringLiteral(", "))));
    books.open();
    std::vector<Part> parts;
    qint64 counted = 0;
    for (int n = 1; n <= count; ++n) {
        const qint64 b = books.fieldText(n - 1).toLongLong();
        counted += b;
        parts.push_back({name(n).toString(), b});
    }
    parts.push_back({rest, books.fieldText(count).toLongLong() - counted});
    return parts;
}

} // namespace

std::vector<Part> byCategory(Dataset &books, int shown)
{
    // The categories of the table, in its order.
    QStringList names;
    {
        ScopedClose closing(books);
        books.setCommandText(QStringLiteral("select cate_name from category"));
        books.scan([&names](const Dataset::Row &row) { names << row.value(0).text(); });
    }
    // One group per stored value; a book counts for a category when its
    // value is a text of the same bytes.
    QHash<QByteArray, qint64> byText;
    qint64 all = 0;
    {
        ScopedClose closing(books);
        books.setCommandText(
            QStringLiteral("select book_cate, count(*), typeof(book_cate) = 'text' from book group by book_cate"));
        books.scan([&](const Dataset::Row &row) {
            const qint64 n = row.value(1).integer;
            all += n;
            if (row.value(2).integer != 0)
                byText.insert(row.value(0).textBytes().toByteArray(), n);
        });
    }
    std::vector<Part> parts;
    for (const QString &name : names)
        parts.push_back({name, byText.value(name.toUtf8())});
    std::stable_sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.books > b.books; });
    qint64 listed = 0;
    for (const Part &p : parts)
        listed += p.books;
    qint64 rest = all - listed;
    if (int(parts.size()) > shown) {
        for (size_t i = size_t(shown); i < parts.size(); ++i)
            rest += parts[i].books;
        parts.resize(size_t(shown));
    }
    if (rest > 0)
        parts.push_back({QStringLiteral("其他"), rest});
    return parts;
}

std::vector<Part> byLoan(Dataset &books)
{
    return byCode(books, "book_loan", codes::kLoanCount, codes::loanName, QStringLiteral("其他"));
}

std::vector<Part> byRead(Dataset &books)
{
    return byCode(books, "book_readed", codes::kReadCount, codes::readName, QStringLiteral("未填"));
}

std::vector<Part> byRating(Dataset &books)
{
    return byCode(books, "book_rating", codes::kRatingCount, codes::ratingName, QStringLiteral("未填"));
}

Purchases byPurchaseYear(Dataset &books)
{
    // A purchase date is a year when SQLite reads it as the very date it is
    // (YYYY-MM-DD of a real day); one group per year and price.
    std::map<QString, money::Tally> tallies;
    Purchases out;
    ScopedClose closing(books);
    books.setCommandText(QStringLiteral(
        "select case when date(book_buyd) = book_buyd then substr(book_buyd, 1, 4) end as y, book_value, count(*) "
        "from book group by y, book_value"));
    books.scan([&](const Dataset::Row &row) {
        const QString year = row.value(0).type == FieldValue::Null ? QString() : row.value(0).text();
        const qint64 n = row.value(2).integer;
        const QString price = row.value(1).text();
        if (tallies[year].add(price, n) == money::Tally::Outcome::NotANumber) {
            out.leftOut += n;
            if (!out.leftOutPrices.contains(price) && out.leftOutPrices.size() < kPricesNamed)
                out.leftOutPrices << price;
        }
    });
    for (const auto &[year, tally] : tallies) {
        if (!year.isEmpty())
            out.years.push_back({year, tally.books(), tally.total()});
    }
    if (const auto unknown = tallies.find(QString()); unknown != tallies.end())
        out.years.push_back({QStringLiteral("日期未知"), unknown->second.books(), unknown->second.total()});
    return out;
}

std::vector<Part> withBooks(std::vector<Part> parts)
{
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const Part &p) { return p.books == 0; }), parts.end());
    return parts;
}

} // namespace chartfigures
