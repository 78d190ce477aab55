// The floors of the session's steps: the same SQL done directly through
// the SQLite C API, in the same process, once each after the session (so
// that they weigh neither on the program's times nor on its memory).
#include "session.h"

#include "probe.h"

#include "store/textorder.h"

#include <QAbstractItemModel>
#include <QDir>

#include <algorithm>
#include <vector>

namespace session {
namespace {

const QByteArray kAllBooks = "select * from book";

// Sorting the list's column by its sort keys, made beforehand.
double sortFloor(Context &c, const QString &caption)
{
    const int column = c.column(caption);
    const int rows = c.listRows();
    std::vector<QByteArray> keys;
    keys.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r)
        keys.push_back(textorder::key(c.cell(r, column)));
    return probe::timeMs([&] { std::sort(keys.begin(), keys.end()); });
}

} // namespace

void floors(Context &c)
{
    Floor floor(c.dataFile);
    auto time = [&](const QByteArray &sql, const QVariantList &values = {}) {
        return probe::timeMs([&] { floor.scan(sql, values); });
    };

    const double books = time(kAllBooks);
    const double categories = time("select * from category");
    c.setFloor("start", categories + books);
    if (c.options.csvOnly)
        return;
    for (const char *id : {"all", "all.again", "html.open", "excel.open"})
        c.setFloor(id, books);
    c.setFloor("category",
               time("select * from book where book_cate=?", {QString::fromStdString(c.run.note("category.name"))}));

    c.setFloor("sort.title", sortFloor(c, QStringLiteral("书名")));
    c.setFloor("sort.price", sortFloor(c, QStringLiteral("价格")));
    c.setFloor("sort.date", sortFloor(c, QStringLiteral("购买日期")));

    c.setFloor("find",
               time("select * from book where book_name like ?", {QString::fromStdString(c.run.note("find.pattern"))}));
    c.setFloor("tnumber", time("select book_cate, count(*) from book group by book_cate"));
    c.setFloor("tjie", time("select count(*), sum(book_loan=1), sum(book_loan=2), sum(book_loan=3) from book"));
    c.setFloor("tmoney", time("select book_value, count(*) from book group by book_value"));
    // The chart window's queries: the categories, one grouped count each for
    // the three codes, money per year and price.
    c.setFloor("charts",
               time("select cate_name from category") +
                   time("select book_cate, count(*), typeof(book_cate) = 'text' from book group by book_cate") +
                   time("select count(*) filter (where book_loan=1), count(*) filter (where book_loan=2), "
                        "count(*) filter (where book_loan=3), count(*) from book") +
                   time("select count(*) filter (where book_readed=1), count(*) filter (where book_readed=2), "
                        "count(*) from book") +
                   time("select count(*) filter (where book_rating=1), count(*) filter (where book_rating=2), "
                        "count(*) filter (where book_rating=3), count(*) filter (where book_rating=4), "
                        "count(*) filter (where book_rating=5), count(*) from book") +
                   time("select case when date(book_buyd) = book_buyd then substr(book_buyd, 1, 4) end as y, "
                        "book_value, count(*) from book group by y, book_value"));

    // The book dialogs' pick lists; the modification dialog reads its book.
    const double lists = time("select * from category") + time("select * from author") + time("select * from pub") +
                         time("select * from reader");
    c.setFloor("add.open", lists);
    const qlonglong changed = QString::fromStdString(c.run.note("mod.book")).toLongLong();
    c.setFloor("mod.open", lists + time("select * from book where book_id=?", {changed}));

    // One row written, each change waiting for the disk as the program's.
    c.setFloor("add", probe::timeMs([&] {
                   floor.change("INSERT INTO book (book_name, book_cate, book_author, book_value, book_rating, "
                                "book_loan, book_readed) VALUES (?, ?, ?, ?, 1, 1, 1)",
                                {QStringLiteral("灯塔"), QStringLiteral("小说"), QStringLiteral("林若水"),
                                 QStringLiteral("45.80")});
               }));
    c.setFloor("mod", probe::timeMs([&] {
                   floor.change("UPDATE book SET book_value=? WHERE book_id=?", {QStringLiteral("77.70"), changed});
               }));
    c.setFloor("del", probe::timeMs([&] { floor.change("DELETE FROM book WHERE book_id=?", {changed}); }));
    c.note("floor.touched", QString::number(floor.touched()));

    // The exports: as many bytes written to a file in the same folder.
    for (const char *id : {"html", "excel", "excel.part"}) {
        const std::string bytes = c.run.note(std::string(id) + ".bytes");
        if (!bytes.empty())
            c.setFloor(id, probe::timeMs([&] {
                           writeBytes(QDir(c.options.folder).filePath(QStringLiteral("floor.out")), std::stoll(bytes));
                       }));
    }
}

} // namespace session
