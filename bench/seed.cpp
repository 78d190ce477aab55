#include "seed.h"

#include "seedbooks.h"

#include "catalogue/schema.h"
#include "catalogue/storedalready.h"
#include "store/connection.h"

#include <QFile>

#include <sqlite3.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace seed {
namespace {

// A prepared statement that binds texts, integers and nulls by position.
// Texts are bound without a copy: they must stay put until run().
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
        : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare failed: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void text(int slot, std::string_view value)
    {
        sqlite3_bind_text(m_stmt, slot, value.data(), int(value.size()), SQLITE_STATIC);
    }
    void text(int slot, const std::optional<std::string> &value)
    {
        if (value)
            text(slot, std::string_view(*value));
        else
            sqlite3_bind_null(m_stmt, slot);
    }
    void integer(int slot, std::optional<int> value)
    {
        if (value)
            sqlite3_bind_int64(m_stmt, slot, *value);
        else
            sqlite3_bind_null(m_stmt, slot);
    }
    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            throw std::runtime_error(std::string("insert failed: ") + sqlite3_errmsg(m_db));
        sqlite3_reset(m_stmt);
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

int insertNames(sqlite3 *db, const char *sql, const std::vector<std::string> &names)
{
    Statement insert(db, sql);
    for (const std::string &name : names) {
        insert.text(1, std::string_view(name));
        insert.run();
    }
    return int(names.size());
}

Summary fill(sqlite3 *db, int books)
{
    // A new file that nobody else has open: no need to wait for the disk
    // between pages; the whole file is written in one transaction.
    exec(db, "PRAGMA synchronous=OFF; PRAGMA cache_size=-262144; BEGIN");
    Summary summary;
    const Pools &p = pools();
    summary.categories = insertNames(db, "INSERT INTO category (cate_name) VALUES (?)", p.categories);
    summary.authors = insertNames(db, "INSERT INTO author (author_name) VALUES (?)", p.authors);
    summary.publishers = insertNames(db, "INSERT INTO pub (pub_name) VALUES (?)", p.publishers);
    summary.readers = insertNames(db, "INSERT INTO reader (reader_name) VALUES (?)", p.readers);

    Statement insert(db, "INSERT INTO book (book_name, book_cate, book_author, book_author2, book_language, "
                         "book_isbn, book_pub, book_pubd, book_pages, book_buya, book_buyd, book_value, "
                         "book_rating, book_loan, book_readed, book_reader, book_loand, book_note) "
                         "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Book b;
    for (int i = 0; i < books; ++i) {
        makeBook(i, b);
        insert.text(1, std::string_view(b.name));
        insert.text(2, std::string_view(b.cate));
        insert.text(3, std::string_view(b.author));
        insert.text(4, b.author2);
        insert.text(5, std::string_view(b.language));
        insert.text(6, b.isbn);
        insert.text(7, std::string_view(b.pub));
        insert.text(8, b.pubd);
        insert.integer(9, b.pages);
        insert.text(10, std::string_view(b.buya));
        insert.text(11, b.buyd);
        insert.text(12, b.value);
        insert.integer(13, b.rating);
        insert.integer(14, b.loan);
        insert.integer(15, b.readed);
        insert.text(16, b.reader);
        insert.text(17, b.loand);
        insert.text(18, std::string_view(b.note));
        insert.run();
        summary.borrowed += b.loan == 2;
        summary.lent += b.loan == 3;
    }
    exec(db, "COMMIT");
    summary.books = books;
    return summary;
}

} // namespace

Summary makeCatalogue(const QString &path, int books)
{
    schema::create(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        throw std::runtime_error("cannot open the new data file: " + reason);
    }
    try {
        const Summary summary = fill(db, books);
        sqlite3_close(db);
        // As a user's catalogue is after its first start: with the indexes
        // the program adds to a file it opens.
        Connection connection(path);
        storedalready::prepareIndexes(connection);
        return summary;
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(path);
        throw;
    }
}

} // namespace seed
