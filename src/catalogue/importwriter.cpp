#include "importwriter.h"

#include "store/connection.h"
#include "store/dataset.h"
#include "store/transaction.h"
#include "store/usererror.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <deque>
#include <string_view>
#include <unordered_set>
#include <vector>

using bookcolumns::Target;
using Status = BookImport::Status;

namespace importwriter {
namespace {

// How many of the columns that go nowhere the summary names.
constexpr int kListedIgnored = 30;

// How often the progress is told, in books.
constexpr int kProgressEvery = 500;

class Statement
{
public:
    Statement(Connection &connection, const char *sql)
        : m_connection(connection)
    {
        if (sqlite3_prepare_v2(connection.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            fail();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    void run()
    {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        if (rc != SQLITE_DONE)
            fail();
    }
    [[noreturn]] void fail() const
    {
        throw UserError(m_connection.failure(QString::fromUtf8(sqlite3_errmsg(m_connection.handle()))));
    }

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

// Texts are bound as UTF-8, as the windows bind them: bound as UTF-16, a
// text that starts with U+FEFF or U+FFFE would lose it to SQLite, which
// takes it for a byte-order mark.
void bindText(sqlite3_stmt *stmt, int index, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// One of the lists of names (categories, publishers, authors, book
// friends): the names it holds, and the statement that adds one. The names
// are looked up as views, without a copy per book: the stored names are
// kept here, the new ones stay in the file's table.
class NameList
{
public:
    NameList(Connection &connection, Dataset &reader, const char *table, const char *column)
        : m_insert(connection,
                   QByteArray("insert into ").append(table).append(" (").append(column).append(") values (?)"))
    {
        reader.setCommandText(QStringLiteral("select %1 from %2").arg(QLatin1String(column), QLatin1String(table)));
        reader.scan([&](const Dataset::Row &row) { m_stored.push_back(row.value(0).text()); });
        for (const QString &name : m_stored)
            m_names.insert(view(name));
    }

    // Adds the name of a book's field unless the list holds it.
    void add(const BookImport::Value &value)
    {
        if (value.kind != BookImport::Value::Text || value.text().isEmpty())
            return;
        if (m_names.contains(view(value.text())))
            return;
        // A text of the value's own dies with the book: the list keeps a copy.
        m_added.push_back(value.text().toString());
        m_names.insert(view(m_added.back()));
        bindText(m_insert.get(), 1, value.text());
        m_insert.run();
        ++added;
    }

    int added = 0;

private:
    static std::u16string_view view(QStringView text)
    {
        return std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
    }

    Statement m_insert;
    std::vector<QString> m_stored;
    std::deque<QString> m_added; // names of values' own texts
    std::unordered_set<std::u16string_view> m_names;
};

void bind(sqlite3_stmt *stmt, int index, const BookImport::Value &value)
{
    switch (value.kind) {
    case BookImport::Value::None:
        sqlite3_bind_null(stmt, index);
        break;
    case BookImport::Value::Whole:
        sqlite3_bind_int64(stmt, index, value.whole);
        break;
    case BookImport::Value::Text:
        // An empty text is a text all the same, not a null.
        if (value.text().isEmpty())
            sqlite3_bind_text(stmt, index, "", 0, SQLITE_STATIC);
        else
            bindText(stmt, index, value.text());
        break;
    case BookImport::Value::Date: {
        char iso[16];
        const int n =
            std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", value.date.year(), value.date.month(), value.date.day());
        sqlite3_bind_text(stmt, index, iso, n, SQLITE_TRANSIENT);
        break;
    }
    }
}

QByteArray insertBook()
{
    QByteArray columns, marks;
    for (int c = 1; c < bookcolumns::kColumnCount; ++c) {
        columns += (c > 1 ? ", " : "") + bookcolumns::columnName(c).toLatin1();
        marks += c > 1 ? ", ?" : "?";
    }
    return "insert into book (" + columns + ") values (" + marks + ")";
}

constexpr size_t at(Target target)
{
    return size_t(target) - 1;
}

} // namespace

int Summary::problemCount() const
{
    int n = 0;
    for (const auto &p : problems)
        n += p.second;
    return n;
}

QString Summary::text(const QString &file) const
{
    const QString name = QFileInfo(file).fileName();
    if (cancelled)
        return QStringLiteral("从文件“%1”导入书籍已取消，数据文件没有改动。").arg(name);
    QString out = QStringLiteral("已从文件“%1”导入 %2 本书。").arg(name).arg(added);
    if (categories + publishers + authors + readers > 0)
        out += QStringLiteral("\n新加入列表的分类 %1 个、出版社 %2 个、作者 %3 个、书友 %4 个。")
                   .arg(categories)
                   .arg(publishers)
                   .arg(authors)
                   .arg(readers);
    if (warned > 0) {
        out += QStringLiteral("\n其中 %1 本书有无法识别的资料，已留空：").arg(warned);
        for (const auto &[heading, count] : warnings)
            out += QStringLiteral("\n    %1：%2 本").arg(heading).arg(count);
    }
    const int skipped = duplicates + problemCount() + blank;
    if (skipped > 0) {
        out += QStringLiteral("\n没有导入 %1 行：").arg(skipped);
        if (duplicates > 0)
            out += QStringLiteral("\n    与已有书籍重复：%1 行").arg(duplicates);
        for (const auto &[heading, count] : problems)
            out += QStringLiteral("\n    %1：%2 行").arg(heading).arg(count);
        if (blank > 0)
            out += QStringLiteral("\n    空行：%1 行").arg(blank);
    }
    if (!ignoredColumns.isEmpty())
        out += QStringLiteral("\n没有导入的列：%1").arg(ignoredColumns);
    return out;
}

QString Summary::line() const
{
    if (cancelled)
        return QStringLiteral("导入已取消，数据文件没有改动。");
    QString out = QStringLiteral("%1 %2 本书（其中 %3 本有资料无法识别、已留空）；"
                                 "没有导入 %4 行（与已有书籍重复 %5 行，无法读取 %6 行，空行 %7 行）。")
                      .arg(planned ? QStringLiteral("可以导入") : QStringLiteral("已导入"))
                      .arg(added)
                      .arg(warned)
                      .arg(duplicates + problemCount() + blank)
                      .arg(duplicates)
                      .arg(problemCount())
                      .arg(blank);
    if (!ignoredColumns.isEmpty())
        out += QStringLiteral("没有导入的列：%1。").arg(ignoredColumns);
    return out;
}

Summary plan(const BookImport &books, bool withDuplicates)
{
    Summary summary;
    summary.planned = true;
    summary.duplicates = withDuplicates ? 0 : books.count(Status::Duplicate);
    summary.blank = books.count(Status::Blank);
    summary.ignoredColumns = books.ignoredColumnsText(kListedIgnored);
    BookImport::Book book;
    std::vector<BookImport::Warning> warnings;
    for (int r = 0; r < books.table().recordCount(); ++r) {
        const BookImport::Judgement &j = books.judgement(r);
        if (j.status == Status::Problem)
            ++summary.problems[books.heading(r)];
        const bool wanted = j.status == Status::Good || (withDuplicates && j.status == Status::Duplicate);
        if (!wanted)
            continue;
        ++summary.added;
        if (!j.warned)
            continue;
        ++summary.warned;
        books.book(r, book, &warnings);
        for (const BookImport::Warning &w : warnings)
            ++summary.warnings[w.heading];
    }
    return summary;
}

Summary write(Connection &connection, const BookImport &books, bool withDuplicates, const Progress &progress)
{
    Summary summary = plan(books, withDuplicates);
    const int records = books.table().recordCount();
    const int total = summary.added;
    summary.added = 0;
    summary.planned = false;

    Dataset dataset(connection);
    Transaction transaction(connection);
    storedalready::ManyBooks many(connection, total);
    NameList categories(connection, dataset, "category", "cate_name");
    NameList publishers(connection, dataset, "pub", "pub_name");
    NameList authors(connection, dataset, "author", "author_name");
    NameList readers(connection, dataset, "reader", "reader_name");
    Statement insert(connection, insertBook().constData());

    BookImport::Book book;
    for (int r = 0; r < records; ++r) {
        const Status status = books.judgement(r).status;
        const bool wanted = status == Status::Good || (withDuplicates && status == Status::Duplicate);
        if (!wanted || !books.book(r, book))
            continue;
        for (size_t f = 0; f < book.size(); ++f)
            bind(insert.get(), int(f + 1), book[f]);
        insert.run();
        categories.add(book[at(Target::Cate)]);
        publishers.add(book[at(Target::Pub)]);
        authors.add(book[at(Target::Author)]);
        authors.add(book[at(Target::Author2)]);
        readers.add(book[at(Target::Reader)]);
        ++summary.added;
        if (progress && summary.added % kProgressEvery == 0 && !progress(summary.added, total)) {
            summary = Summary{};
            summary.cancelled = true;
            return summary; // the transaction rolls back
        }
    }
    const int added = summary.added;
    const auto going = [&] { return !progress || progress(added, total); };
    if (!going() || !many.finish(going)) {
        summary = Summary{};
        summary.cancelled = true;
        return summary;
    }
    transaction.commit();
    summary.categories = categories.added;
    summary.publishers = publishers.added;
    summary.authors = authors.added;
    summary.readers = readers.added;
    return summary;
}

} // namespace importwriter
