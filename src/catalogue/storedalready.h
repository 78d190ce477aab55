#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>

class Connection;
class LargePageCache;

// Is a book the catalogue is given already stored? The one rule, for a book
// entered by hand and for every book of an import:
//  - the same ISBN: hyphens and spaces aside, an x as X, an ISBN-10 and its
//    ISBN-13 the same number (an ISBN-10 counts by its first nine digits,
//    as isbn::key turns it into its ISBN-13). Only a text shaped as an ISBN
//    (ten or thirteen places) is looked for: a stand-in such as "无"
//    repeats no book;
//  - or else the same title and first author, each without the blanks
//    around it (spaces, tabs, line breaks, the no-break and the full-width
//    space), the ASCII letters A to Z the same in either case (other
//    letters, CJK among them, as they are). A book with no title repeats
//    none by its title.
// A book with the same ISBN comes before one with the same title; among
// several, the one of the lowest number.
//
// Both questions are answered from two indexes of table book (see
// prepareIndexes), made of SQLite's own functions only, so that any SQLite
// tool still reads, checks and writes the file. Without them the answer is
// the same, only slower.
namespace storedalready {

// The stored book a new one repeats.
struct Match
{
    qint64 id = 0;
    bool sameIsbn = false; // by its ISBN; else by title and first author
    QString title;
    QString author;
    QString isbn;

    // For the user: "《书名》，作者：…，ISBN：…，编号：…" (the author and
    // the ISBN only when there is one).
    QString described() const;
};

// Asks the catalogue's file, one book after another, with its statements
// prepared once. Lives no longer than the connection.
class Finder
{
public:
    explicit Finder(Connection &connection);
    ~Finder();
    Finder(const Finder &) = delete;
    Finder &operator=(const Finder &) = delete;

    // The stored book that a book of this title, first author and ISBN
    // repeats, if there is one: its number and how it repeats it (its texts
    // are left empty; the question is answered from the indexes alone).
    // Throws UserError naming the file when it cannot be read.
    std::optional<Match> find(QStringView title, QStringView author, QStringView isbn);
    // The same with the stored book's texts, for showing it.
    std::optional<Match> findDescribed(QStringView title, QStringView author, QStringView isbn);

    // While it lives, the questions asked read the file in one go (one read
    // transaction, when none is open): many questions in a row are not each
    // a lock taken and given back. Keeps writers out meanwhile, so it lives
    // no longer than the questions. (A larger page cache was measured here:
    // it saves the system's reads of the indexes at a million books but
    // costs as much in time as it saves, and 30 to 60 MB.)
    class Reading
    {
    public:
        explicit Reading(Connection &connection);
        ~Reading();
        Reading(const Reading &) = delete;
        Reading &operator=(const Reading &) = delete;

    private:
        Connection *m_began = nullptr;
    };
    Reading reading() { return Reading(m_connection); }

private:
    struct Statements;
    Connection &m_connection;
    std::unique_ptr<Statements> m_statements;
};

// The statements that make the two indexes where they are missing: a new
// catalogue is made with them (see schema.h).
const char *indexSql();

// Called now and then while a large catalogue's indexes are being made.
using Progress = std::function<void()>;

// Makes the two indexes when the file lacks them and may be written; a file
// open read-only is left as it is. Returns whether it made any. Throws
// UserError naming the file when they cannot be made.
bool prepareIndexes(Connection &connection, const Progress &progress = {});

// Adding many books in one transaction (an import), begun before the first
// is added and finished before the commit. When the books added outnumber
// those stored, the two indexes are dropped and made again at the end:
// sorting every book once is quicker than adding to them one book at a
// time (a million into a million: 10 s against 19). Otherwise the
// connection keeps more of the file in memory meanwhile (LargePageCache),
// as much as the books added can touch. Either way the file ends with both
// indexes, or, when the transaction is rolled back, as it was.
class ManyBooks
{
public:
    ManyBooks(Connection &connection, qint64 adding);
    ~ManyBooks();
    ManyBooks(const ManyBooks &) = delete;
    ManyBooks &operator=(const ManyBooks &) = delete;

    // After the last book: makes the indexes again if they were dropped,
    // asking going() now and then whether to go on. False when it said no:
    // then the indexes are not made, and the caller rolls back. Throws
    // UserError naming the file when they cannot be made.
    bool finish(const std::function<bool()> &going = {});

private:
    Connection &m_connection;
    bool m_dropped = false;
    std::unique_ptr<LargePageCache> m_cache;
};

} // namespace storedalready
