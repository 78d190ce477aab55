#include "floor.h"

#include <QFile>

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace {

struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    Statement(sqlite3 *db, const QByteArray &sql)
    {
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare failed: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
};

} // namespace

Floor::Floor(const QString &file)
{
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string reason = m_db ? sqlite3_errmsg(m_db) : "cannot open";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open the data file: " + reason);
    }
    exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
}

Floor::~Floor()
{
    sqlite3_close(m_db);
}

void Floor::exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

Floor::Read Floor::readAll(const QByteArray &sql)
{
    Statement st(m_db, sql);
    const int columns = sqlite3_column_count(st.stmt);
    Read result;
    for (;;) {
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw std::runtime_error(std::string("step failed: ") + sqlite3_errmsg(m_db));
        for (int i = 0; i < columns; ++i) {
            const unsigned char *text = sqlite3_column_text(st.stmt, i);
            const int bytes = sqlite3_column_bytes(st.stmt, i);
            result.touched += quint64(bytes) + (text && bytes > 0 ? text[bytes - 1] : 0u);
        }
        ++result.rows;
    }
    return result;
}

void Floor::readAndDelete(qint64 bookId)
{
    const Read read = readAll("select * from book where book_id=" + QByteArray::number(bookId));
    if (read.rows != 1)
        throw std::runtime_error("book " + std::to_string(bookId) + " is not in the file");
    Statement st(m_db, "DELETE FROM book WHERE book_id=?");
    sqlite3_bind_int64(st.stmt, 1, bookId);
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
        throw std::runtime_error(std::string("delete failed: ") + sqlite3_errmsg(m_db));
}

int Floor::countBook(qint64 bookId)
{
    Statement st(m_db, "select count(*) from book where book_id=" + QByteArray::number(bookId));
    if (sqlite3_step(st.stmt) != SQLITE_ROW)
        throw std::runtime_error(std::string("count failed: ") + sqlite3_errmsg(m_db));
    return sqlite3_column_int(st.stmt, 0);
}
