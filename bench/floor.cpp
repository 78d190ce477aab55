#include "floor.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    Statement(sqlite3 *db, const QByteArray &sql, const QVariantList &values)
    {
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare failed: ") + sqlite3_errmsg(db));
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            if (v.isNull()) {
                sqlite3_bind_null(stmt, i + 1);
            } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
            } else {
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
        }
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
};

[[noreturn]] void fail(sqlite3 *db, const char *what)
{
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

} // namespace

Floor::Floor(const QString &file)
{
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string reason = m_db ? sqlite3_errmsg(m_db) : "cannot open";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open the data file: " + reason);
    }
    char *error = nullptr;
    if (sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr, &error) !=
        SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        sqlite3_close(m_db);
        throw std::runtime_error(text);
    }
}

Floor::~Floor()
{
    sqlite3_close(m_db);
}

int Floor::scan(const QByteArray &sql, const QVariantList &values)
{
    Statement st(m_db, sql, values);
    const int columns = sqlite3_column_count(st.stmt);
    int rows = 0;
    for (;;) {
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail(m_db, "step failed");
        for (int i = 0; i < columns; ++i) {
            const unsigned char *text = sqlite3_column_text(st.stmt, i);
            const int bytes = sqlite3_column_bytes(st.stmt, i);
            m_touched += quint64(bytes) + (text && bytes > 0 ? text[bytes - 1] : 0u);
        }
        ++rows;
    }
    return rows;
}

int Floor::change(const QByteArray &sql, const QVariantList &values)
{
    Statement st(m_db, sql, values);
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
        fail(m_db, "change failed");
    return sqlite3_changes(m_db);
}

QString Floor::value(const QByteArray &sql, const QVariantList &values)
{
    Statement st(m_db, sql, values);
    const int rc = sqlite3_step(st.stmt);
    if (rc == SQLITE_DONE)
        return QString();
    if (rc != SQLITE_ROW)
        fail(m_db, "query failed");
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.stmt, 0)));
}

namespace {

// Steps the query for at most limit more rows into rows (emptied first);
// false once it has no more.
bool readRows(sqlite3 *db, sqlite3_stmt *stmt, Floor::Rows &rows, int limit)
{
    rows.columns = sqlite3_column_count(stmt);
    rows.types.clear();
    rows.numbers.clear();
    rows.texts.clear();
    for (int r = 0; r < limit; ++r) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW)
            fail(db, "step failed");
        for (int i = 0; i < rows.columns; ++i) {
            const int type = sqlite3_column_type(stmt, i);
            rows.types.push_back(type);
            rows.numbers.push_back(type == SQLITE_INTEGER ? sqlite3_column_int64(stmt, i) : 0);
            rows.texts.push_back(type == SQLITE_TEXT
                                     ? QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                                  sqlite3_column_bytes(stmt, i))
                                     : QByteArray());
        }
    }
    return true;
}

// Inserts every row with the prepared statement, its values bound as read.
void insertRows(sqlite3 *db, sqlite3_stmt *stmt, const Floor::Rows &rows)
{
    size_t at = 0;
    for (int r = 0; r < rows.count(); ++r) {
        for (int i = 1; i <= rows.columns; ++i, ++at) {
            switch (rows.types[at]) {
            case SQLITE_INTEGER:
                sqlite3_bind_int64(stmt, i, rows.numbers[at]);
                break;
            case SQLITE_TEXT:
                sqlite3_bind_text(stmt, i, rows.texts[at].constData(), int(rows.texts[at].size()), SQLITE_STATIC);
                break;
            default:
                sqlite3_bind_null(stmt, i);
                break;
            }
        }
        if (sqlite3_step(stmt) != SQLITE_DONE)
            fail(db, "insert failed");
        sqlite3_reset(stmt);
    }
}

} // namespace

Floor::Rows Floor::read(const QByteArray &sql)
{
    Statement st(m_db, sql, {});
    Rows rows;
    readRows(m_db, st.stmt, rows, std::numeric_limits<int>::max());
    return rows;
}

void Floor::insert(const QByteArray &sql, const Rows &rows)
{
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "begin failed");
    Statement st(m_db, sql, {});
    insertRows(m_db, st.stmt, rows);
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "commit failed");
}

double Floor::insertFrom(const QByteArray &insertSql, const QByteArray &selectSql)
{
    constexpr int kBlockRows = 10000;
    QElapsedTimer timer;
    timer.start();
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "begin failed");
    Statement insert(m_db, insertSql, {});
    double ms = double(timer.nsecsElapsed()) / 1e6;
    Statement select(m_db, selectSql, {});
    Rows rows;
    for (bool more = true; more;) {
        more = readRows(m_db, select.stmt, rows, kBlockRows);
        timer.restart();
        insertRows(m_db, insert.stmt, rows);
        ms += double(timer.nsecsElapsed()) / 1e6;
    }
    timer.restart();
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "commit failed");
    return ms + double(timer.nsecsElapsed()) / 1e6;
}

void writeBytes(const QString &path, qint64 bytes)
{
    static const std::vector<char> block(64 * 1024, 'x');
    const QByteArray name = QFile::encodeName(path);
    std::FILE *out = std::fopen(name.constData(), "wb");
    if (!out)
        throw std::runtime_error("cannot write " + path.toStdString());
    bool written = true;
    for (qint64 left = bytes; left > 0 && written;) {
        const size_t piece = size_t(std::min<qint64>(left, qint64(block.size())));
        written = std::fwrite(block.data(), 1, piece, out) == piece;
        left -= qint64(piece);
    }
    written = written && std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    std::fclose(out);
    QFile::remove(path);
    if (!written)
        throw std::runtime_error("cannot write " + path.toStdString());
}
