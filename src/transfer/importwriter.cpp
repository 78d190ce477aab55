#include "importwriter.h"

#include "store/connection.h"
#include "store/dataset.h"
#include "store/transaction.h"
#include "store/usererror.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <string_view>
#include <unordered_set>
#include <vector>

using bookcolumns::Target;
using Status = BookImport::Status;

namespace importwriter {
namespace {

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
        if (value.kind != BookImport::Value::Text || value.text.isEmpty())
            return;
        if (!m_names.insert(view(value.text)).second)
            return;
        sqlite3_bind_text16(m_insert.get(), 1, value.text.utf16(), int(value.text.size() * 2), SQLITE_STATIC);
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
        if (value.text.isEmpty())
            sqlite3_bind_text(stmt, index, "", 0, SQLITE_STATIC);
        else
            sqlite3_bind_text16(stmt, index, value.text.utf16(), int(value.text.size() * 2), SQLITE_STATIC);
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
    const int skipped = duplicates + problemCount() + blank;
    if (skipped == 0)
        return out;
    out += QStringLiteral("\n没有导入 %1 行：").arg(skipped);
    if (duplicates > 0)
        out += QStringLiteral("\n    重复的书籍：%1 行").arg(duplicates);
    for (const auto &[heading, count] : problems)
        out += QStringLiteral("\n    %1：%2 行").arg(heading).arg(count);
    if (blank > 0)
        out += QStringLiteral("\n    空行：%1 行").arg(blank);
    return out;
}

QString Summary::line() const
{
    if (cancelled)
        return QStringLiteral("导入已取消，数据文件没有改动。");
    return QStringLiteral("已导入 %1 本书；没有导入 %2 行（重复 %3 行，有问题 %4 行，空行 %5 行）。")
        .arg(added)
        .arg(duplicates + problemCount() + blank)
        .arg(duplicates)
        .arg(problemCount())
        .arg(blank);
}

Summary write(const QString &dataFile, const BookImport &books, bool withDuplicates, const Progress &progress)
{
    Summary summary;
    const int records = books.table().recordCount();
    const int duplicates = books.count(Status::DuplicateInFile) + books.count(Status::DuplicateInCatalogue);
    const int total = books.count(Status::Good) + (withDuplicates ? duplicates : 0);
    summary.duplicates = withDuplicates ? 0 : duplicates;
    summary.blank = books.count(Status::Blank);
    for (int r = 0; r < records; ++r)
        if (books.judgement(r).status == Status::Problem)
            ++summary.problems[books.heading(r)];

    Dataset dataset(dataFile);
    Transaction transaction(dataset);
    Connection &connection = dataset.connection();
    NameList categories(connection, dataset, "category", "cate_name");
    NameList publishers(connection, dataset, "pub", "pub_name");
    NameList authors(connection, dataset, "author", "author_name");
    NameList readers(connection, dataset, "reader", "reader_name");
    Statement insert(connection, insertBook().constData());

    BookImport::Book book;
    for (int r = 0; r < records; ++r) {
        const Status status = books.judgement(r).status;
        const bool wanted =
            status == Status::Good ||
            (withDuplicates && (status == Status::DuplicateInFile || status == Status::DuplicateInCatalogue));
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
    if (progress && !progress(summary.added, total)) {
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
