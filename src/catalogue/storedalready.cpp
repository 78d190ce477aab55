#include "storedalready.h"

#include "store/connection.h"
#include "store/isbn.h"
#include "store/transaction.h"
#include "store/usererror.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

namespace storedalready {
namespace {

// The blanks a title and an author are trimmed of: space, tab, line feed,
// vertical tab, form feed, carriage return, no-break space, full-width space.
#define QM_BLANKS "char(32, 9, 10, 11, 12, 13, 160, 12288)"

// The keys, as the indexes hold them and the questions ask for them: the
// same expressions in both, or SQLite would not use the indexes.
#define QM_TITLE_KEY "trim(book_name, " QM_BLANKS ") COLLATE NOCASE"
#define QM_AUTHOR_KEY "trim(coalesce(book_author, ''), " QM_BLANKS ") COLLATE NOCASE"
#define QM_ISBN_KEY "replace(replace(book_isbn, '-', ''), ' ', '')"

constexpr char kIndexes[] =
    "CREATE INDEX IF NOT EXISTS book_by_title_key ON book (" QM_TITLE_KEY ", " QM_AUTHOR_KEY ");"
    "CREATE INDEX IF NOT EXISTS book_by_isbn_key ON book (" QM_ISBN_KEY ");";
constexpr char kDropIndexes[] = "DROP INDEX book_by_title_key; DROP INDEX book_by_isbn_key;";
// An upper bound of the books stored, read from the end of the table alone.
constexpr char kHighestNumber[] = "SELECT coalesce(max(book_id), 0) FROM book";
constexpr char kIndexCount[] = "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'book' "
                               "AND name IN ('book_by_title_key', 'book_by_isbn_key')";

// ?1 the ISBN-13; ?2 the nine digits of its ISBN-10s, which stand between
// the nine digits alone and the nine followed by "y" (after every digit, X
// and x). A range rather than twelve numbers: two looks into the index.
// Both ask for the number alone, which the index holds: the book itself is
// not read (a duplicate's texts are read by number, when they are shown).
constexpr char kByIsbn[] = "SELECT book_id FROM book WHERE " QM_ISBN_KEY " = ?1 "
                           "OR (" QM_ISBN_KEY " > ?2 AND " QM_ISBN_KEY " < ?2 || 'y' AND length(" QM_ISBN_KEY
                           ") = 10 AND substr(" QM_ISBN_KEY ", 10) IN "
                           "('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'X', 'x'))";
constexpr char kByTitle[] =
    "SELECT book_id FROM book "
    "WHERE trim(?1, " QM_BLANKS ") <> '' "
    "AND trim(book_name, " QM_BLANKS ") = trim(?1, " QM_BLANKS ") COLLATE NOCASE "
    "AND trim(coalesce(book_author, ''), " QM_BLANKS ") = trim(?2, " QM_BLANKS ") COLLATE NOCASE";

constexpr char kById[] = "SELECT book_name, book_author, book_isbn FROM book WHERE book_id = ?1";

#undef QM_BLANKS
#undef QM_TITLE_KEY
#undef QM_AUTHOR_KEY
#undef QM_ISBN_KEY

// The stored book's ISBN, hyphens and spaces taken out, is the same number
// when it is the ISBN-13 of the one typed or, for one of the 978 range, an
// ISBN-10 of the same nine digits (an ISBN-10 counts by its digits, whatever
// its check character: one typed with a wrong check digit is still that
// book), an X in either case. The ISBN-13 and those nine digits ("" for
// none); nothing for a text that is no ISBN.
std::optional<std::pair<QString, QString>> isbnKeys(QStringView typed)
{
    const QString compact = isbn::compact(typed);
    if (isbn::kindOf(compact) == isbn::Kind::None)
        return std::nullopt;
    const QString thirteen = isbn::key(compact);
    return std::pair(thirteen, isbn::toIsbn10(thirteen).isEmpty() ? QString() : thirteen.mid(3, 9));
}

QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *bytes = static_cast<const char *>(static_cast<const void *>(sqlite3_column_text(stmt, column)));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
}

class Statement
{
public:
    Statement(Connection &connection, const char *sql)
        : m_connection(connection)
    {
        if (sqlite3_prepare_v3(connection.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) !=
            SQLITE_OK) {
            const QString reason = QString::fromUtf8(sqlite3_errmsg(connection.handle()));
            sqlite3_finalize(m_stmt);
            throw UserError(connection.failure(reason));
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int place, qint64 number) { sqlite3_bind_int64(m_stmt, place, number); }
    void bind(int place, QStringView text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text64(m_stmt, place, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
    }
    // Runs it; the whole number of its first row's first column.
    qint64 number()
    {
        const int rc = sqlite3_step(m_stmt);
        const qint64 value = rc == SQLITE_ROW ? sqlite3_column_int64(m_stmt, 0) : 0;
        const QString reason = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw UserError(m_connection.failure(reason));
        return value;
    }
    // Runs it; the lowest book number it finds, if any.
    std::optional<Match> lowest()
    {
        std::optional<Match> found;
        int rc;
        while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(m_stmt, 0);
            if (!found || id < found->id)
                found = Match{id, false, {}, {}, {}};
        }
        const QString reason = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        if (rc != SQLITE_DONE)
            throw UserError(m_connection.failure(reason));
        return found;
    }
    // Runs it; the texts of its first row, in match, if it has one.
    void describe(Match &match)
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            match.title = columnText(m_stmt, 0);
            match.author = columnText(m_stmt, 1);
            match.isbn = columnText(m_stmt, 2);
        }
        const QString reason = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw UserError(m_connection.failure(reason));
    }

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

int progressTick(void *context)
{
    try {
        (*static_cast<const Progress *>(context))();
        return 0;
    } catch (...) {
        // Nothing may leave through SQLite: the index is given up.
        return 1;
    }
}

} // namespace

QString Match::described() const
{
    QString text = QStringLiteral("《%1》").arg(title);
    if (!author.isEmpty())
        text += QStringLiteral("，作者：%1").arg(author);
    if (!isbn.isEmpty())
        text += QStringLiteral("，ISBN：%1").arg(isbn);
    return text + QStringLiteral("，编号：%1").arg(id);
}

struct Finder::Statements
{
    explicit Statements(Connection &connection)
        : byIsbn(connection, kByIsbn)
        , byTitle(connection, kByTitle)
        , byId(connection, kById)
    {}
    Statement byIsbn;
    Statement byTitle;
    Statement byId;
};

Finder::Finder(Connection &connection)
    : m_connection(connection)
{}

Finder::~Finder() = default;

std::optional<Match> Finder::find(QStringView title, QStringView author, QStringView isbn)
{
    if (!m_statements)
        m_statements = std::make_unique<Statements>(m_connection);
    if (const auto keys = isbnKeys(isbn)) {
        Statement &byIsbn = m_statements->byIsbn;
        byIsbn.bind(1, keys->first);
        // Without ISBN-10s, a range that holds no ten places.
        byIsbn.bind(2, keys->second.isEmpty() ? keys->first : keys->second);
        if (std::optional<Match> same = byIsbn.lowest()) {
            same->sameIsbn = true;
            return same;
        }
    }
    Statement &byTitle = m_statements->byTitle;
    byTitle.bind(1, title);
    byTitle.bind(2, author);
    return byTitle.lowest();
}

std::optional<Match> Finder::findDescribed(QStringView title, QStringView author, QStringView isbn)
{
    std::optional<Match> found = find(title, author, isbn);
    if (found) {
        Statement &byId = m_statements->byId;
        byId.bind(1, found->id);
        byId.describe(*found);
    }
    return found;
}

const char *indexSql()
{
    return kIndexes;
}

Finder::Reading::Reading(Connection &connection)
{
    if (sqlite3_get_autocommit(connection.handle()) == 0)
        return;
    connection.exec("BEGIN");
    m_began = &connection;
}

Finder::Reading::~Reading()
{
    // A transaction that only read ends well; should it not, it is rolled
    // back, which gives the lock back all the same.
    if (m_began && sqlite3_exec(m_began->handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(m_began->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool prepareIndexes(Connection &connection, const Progress &progress)
{
    sqlite3 *db = connection.handle();
    if (sqlite3_db_readonly(db, "main") != 0)
        return false;
    if (Statement(connection, kIndexCount).number() == 2)
        return false;
    struct Handler
    {
        sqlite3 *db;
        ~Handler() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
    } handler{db};
    if (progress)
        sqlite3_progress_handler(db, 100000, progressTick, const_cast<Progress *>(&progress));
    // Both or neither: a file is never left with one of them.
    Transaction both(connection);
    connection.exec(kIndexes);
    both.commit();
    return true;
}

ManyBooks::ManyBooks(Connection &connection, qint64 adding)
    : m_connection(connection)
{
    if (adding <= 0)
        return;
    if (adding >= Statement(connection, kHighestNumber).number() && Statement(connection, kIndexCount).number() == 2) {
        connection.exec(kDropIndexes);
        m_dropped = true;
        return;
    }
    // Each book added goes to a page of the table and of each of its three
    // indexes; more than that it cannot use.
    constexpr qint64 kPerBookKiB = 4 * 4;
    if (adding * kPerBookKiB > 2048)
        m_cache = std::make_unique<LargePageCache>(connection,
                                                   int(std::min<qint64>(adding * kPerBookKiB, LargePageCache::kKiB)));
}

ManyBooks::~ManyBooks() = default;

bool ManyBooks::finish(const std::function<bool()> &going)
{
    if (!m_dropped)
        return true;
    struct Asking
    {
        const std::function<bool()> &going;
        bool stopped = false;
    } asking{going};
    const auto tick = [](void *context) {
        auto *a = static_cast<Asking *>(context);
        try {
            a->stopped = !a->going();
        } catch (...) {
            a->stopped = true; // nothing may leave through SQLite
        }
        return a->stopped ? 1 : 0;
    };
    sqlite3 *db = m_connection.handle();
    struct Handler
    {
        sqlite3 *db;
        ~Handler() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
    } handler{db};
    if (going)
        sqlite3_progress_handler(db, 100000, tick, &asking);
    try {
        m_connection.exec(kIndexes);
    } catch (const UserError &) {
        if (asking.stopped)
            return false;
        throw;
    }
    m_dropped = false;
    return true;
}

} // namespace storedalready
