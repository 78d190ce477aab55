// The catalogue's figures: the three statistics lists and the charts, each
// counted once here by the rules figures.h states.
#include "catalogue.h"

#include "store/codes.h"
#include "store/dataset.h"

#include <algorithm>
#include <map>

namespace {

// One walk over the category index, a group for each stored value. A book
// counts for a category when book_cate = name holds, the name bound as a text:
// the column compares by its collation, BINARY, which is also what groups the
// rows, so that holds exactly for the texts of the same bytes (case, blanks,
// a zero character and all). No value and a blob never equal a text (nor
// would a number, which the column's TEXT affinity does not keep): their
// books count among all books only.
figures::CategoryBooks countByCategory(Connection &connection)
{
    figures::CategoryBooks counts;
    Dataset books(connection);
    books.setCommandText(
        QStringLiteral("select book_cate, count(*), typeof(book_cate) = 'text' from book group by book_cate"));
    books.scan([&counts](const Dataset::Row &row) {
        const qint64 n = row.value(1).integer;
        counts.all += n;
        if (row.value(2).integer != 0)
            counts.byText.insert(row.value(0).textBytes().toByteArray(), n);
    });
    return counts;
}

// The books for which "column=n" holds, n from 1 to count, then all books;
// one pass over the books.
std::vector<qint64> countByCode(Connection &connection, const char *column, int count)
{
    QStringList filtered;
    for (int n = 1; n <= count; ++n)
        filtered << QStringLiteral("count(*) filter (where %1=%2)").arg(QLatin1String(column)).arg(n);
    Dataset books(connection);
    ScopedClose closing(books);
    books.setCommandText(QStringLiteral("select %1, count(*) from book").arg(filtered.join(QStringLiteral(", "))));
    books.open();
    std::vector<qint64> counts;
    for (int n = 0; n <= count; ++n)
        counts.push_back(books.fieldText(n).toLongLong());
    return counts;
}

// A stored price that is no number.
struct LeftOut
{
    QByteArray bytes; // as the file holds it: a text's UTF-8, a blob's bytes
    qint64 firstBook; // the lowest book_id that has it
};

// The first books, in the order of the file (book_id), whose price is one of
// those left out: "《title》（价格：price）", at most kNamedAtMost and at most
// books of them.
QStringList namedBooks(Connection &connection, std::vector<LeftOut> &prices, qint64 books)
{
    if (prices.empty())
        return {};
    // Every price's first book is itself left out, and no two prices share
    // one: so at most kNamedAtMost prices have their first book among the
    // first kNamedAtMost books left out, and only those prices have any book
    // there. The kNamedAtMost prices met first are all that need looking for.
    std::sort(prices.begin(), prices.end(),
              [](const LeftOut &a, const LeftOut &b) { return a.firstBook < b.firstBook; });
    if (prices.size() > size_t(figures::kNamedAtMost))
        prices.resize(size_t(figures::kNamedAtMost));
    // A price is looked for by the hex digits of its bytes (the file keeps
    // its texts in UTF-8, the bytes read): a blob, or a text that is no valid
    // UTF-8, would not come back the same through a QString bound as text.
    QString marks;
    QVariantList values{prices.front().firstBook};
    for (const LeftOut &price : prices) {
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
        values << QString::fromLatin1(price.bytes.toHex().toUpper());
    }
    values << std::min<qint64>(figures::kNamedAtMost, books);
    Dataset named(connection);
    named.setCommandText(QStringLiteral("select book_name, book_value from book where book_id >= ? and "
                                        "hex(book_value) in (%1) order by book_id limit ?")
                             .arg(marks),
                         values);
    QStringList lines;
    named.scan([&lines](const Dataset::Row &row) {
        lines << QStringLiteral("《%1》（价格：%2）").arg(row.value(0).text(), row.value(1).text());
    });
    return lines;
}

// Parts per code of a column, n from 1 to count, named by name, and the
// rest: the books of any other stored value or none.
std::vector<figures::Part> partsByCode(Connection &connection, const char *column, int count, QStringView (*name)(int),
                                       const QString &rest)
{
    const std::vector<qint64> counts = countByCode(connection, column, count);
    std::vector<figures::Part> parts;
    qint64 counted = 0;
    for (int n = 1; n <= count; ++n) {
        const qint64 b = counts[size_t(n - 1)];
        counted += b;
        parts.push_back({name(n).toString(), b});
    }
    parts.push_back({rest, counts[size_t(count)] - counted});
    return parts;
}

} // namespace

figures::CategoryBooks Catalogue::categoryBooks() const
{
    return countByCategory(connection());
}

figures::LoanCounts Catalogue::loanCounts() const
{
    const std::vector<qint64> counts = countByCode(connection(), "book_loan", codes::kLoanCount);
    static_assert(codes::kOwnCopy == 1 && codes::kBorrowedIn == 2 && codes::kLentOut == 3);
    return {counts[0], counts[1], counts[2], counts[3]};
}

figures::Money Catalogue::purchaseMoney() const
{
    // One group for each stored price, its text tallied for as many books as
    // have it; the sum is exact, so the order does not matter. The column's
    // TEXT affinity keeps no numbers, and the groups are made by its
    // collation, BINARY: the values of a group are of one kind (no value, a
    // text or a blob) with the same bytes, so they all have the same text.
    figures::Money out;
    std::vector<LeftOut> leftOut;
    Dataset prices(connection());
    prices.setCommandText(QStringLiteral("select book_value, count(*), min(book_id) from book group by book_value"));
    prices.scan([&](const Dataset::Row &row) {
        const Dataset::Value price = row.value(0);
        const qint64 books = row.value(1).integer;
        if (out.tally.add(price.text(), books) != money::Tally::Outcome::NotANumber)
            return;
        out.leftOut += books;
        leftOut.push_back({price.textBytes().toByteArray(), row.value(2).integer});
    });
    out.named = namedBooks(connection(), leftOut, out.leftOut);
    return out;
}

std::vector<figures::Part> Catalogue::booksByCategory(int shown) const
{
    // The categories of the table, in its order.
    QStringList names;
    {
        Dataset categories(connection());
        categories.setCommandText(QStringLiteral("select cate_name from category"));
        categories.scan([&names](const Dataset::Row &row) { names << row.value(0).text(); });
    }
    const figures::CategoryBooks counts = countByCategory(connection());
    std::vector<figures::Part> parts;
    for (const QString &name : names)
        parts.push_back({name, counts.of(name)});
    std::stable_sort(parts.begin(), parts.end(),
                     [](const figures::Part &a, const figures::Part &b) { return a.books > b.books; });
    qint64 listed = 0;
    for (const figures::Part &p : parts)
        listed += p.books;
    qint64 rest = counts.all - listed;
    if (int(parts.size()) > shown) {
        for (size_t i = size_t(std::max(shown, 0)); i < parts.size(); ++i)
            rest += parts[i].books;
        parts.resize(size_t(std::max(shown, 0)));
    }
    if (rest > 0)
        parts.push_back({QStringLiteral("其他"), rest});
    return parts;
}

std::vector<figures::Part> Catalogue::booksByCode(figures::Code column) const
{
    switch (column) {
    case figures::Code::Loan:
        return partsByCode(connection(), "book_loan", codes::kLoanCount, codes::loanName, QStringLiteral("其他"));
    case figures::Code::Read:
        return partsByCode(connection(), "book_readed", codes::kReadCount, codes::readName, QStringLiteral("未填"));
    case figures::Code::Rating:
        break;
    }
    return partsByCode(connection(), "book_rating", codes::kRatingCount, codes::ratingName, QStringLiteral("未填"));
}

figures::Purchases Catalogue::purchasesByYear() const
{
    // A purchase date is a year when SQLite reads it as the very date it is
    // (YYYY-MM-DD of a real day); one group per year and price.
    std::map<QString, money::Tally> tallies;
    figures::Purchases out;
    Dataset books(connection());
    books.setCommandText(QStringLiteral(
        "select case when date(book_buyd) = book_buyd then substr(book_buyd, 1, 4) end as y, book_value, count(*) "
        "from book group by y, book_value"));
    books.scan([&](const Dataset::Row &row) {
        const QString year = row.value(0).type == FieldValue::Null ? QString() : row.value(0).text();
        const qint64 n = row.value(2).integer;
        const QString price = row.value(1).text();
        if (tallies[year].add(price, n) == money::Tally::Outcome::NotANumber) {
            out.leftOut += n;
            if (!out.leftOutPrices.contains(price) && out.leftOutPrices.size() < figures::kPricesNamed)
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
