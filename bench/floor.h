#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <vector>

struct sqlite3;

// The floors: what the same work costs when SQLite is asked directly through
// its C API, without the program's dataset, rows, lists or windows in
// between. A connection of its own to the same data file, set up as the
// program sets up its connection (rollback journal, full synchronous
// writes, so that a change waits for the disk as the program's does).
class Floor
{
public:
    explicit Floor(const QString &file);
    ~Floor();
    Floor(const Floor &) = delete;
    Floor &operator=(const Floor &) = delete;

    // Steps every row of the query, its values bound (a whole number as an
    // integer, no value as NULL, anything else as text), and reads every
    // column as text, as a list that shows the rows must. Returns the
    // number of rows.
    int scan(const QByteArray &sql, const QVariantList &values = {});
    // Runs one statement that changes rows (bound as above); returns how
    // many rows it changed.
    int change(const QByteArray &sql, const QVariantList &values = {});
    // The first column of the first row, as text ("" for none).
    QString value(const QByteArray &sql, const QVariantList &values = {});

    // The rows of a query as SQLite gives them, each value of its own kind,
    // held in memory: what the floor of an insert binds.
    struct Rows
    {
        int columns = 0;
        std::vector<int> types;      // SQLITE_INTEGER, SQLITE_TEXT, SQLITE_NULL, ... per value
        std::vector<qint64> numbers; // per value
        std::vector<QByteArray> texts;
        int count() const { return columns ? int(types.size()) / columns : 0; }
    };
    Rows read(const QByteArray &sql);
    // Inserts every row with one prepared statement, its values bound as
    // read, in one transaction, committed (the disk waited for).
    void insert(const QByteArray &sql, const Rows &rows);
    // The same for the rows of selectSql, read a block of rows at a time so
    // that a million rows are never held at once; the reading is not
    // counted. Returns the milliseconds of the transaction, its statement
    // prepared, every row inserted and the commit.
    double insertFrom(const QByteArray &insertSql, const QByteArray &selectSql);

    // A sum over every value scanned, so that each is really read.
    quint64 touched() const { return m_touched; }

private:
    sqlite3 *m_db = nullptr;
    quint64 m_touched = 0;
};

// Writes bytes bytes to a new file at path, in blocks of 64 KiB, and brings
// it to the disk: the floor of an export of that size. The file is removed
// afterwards. Throws when it cannot be written.
void writeBytes(const QString &path, qint64 bytes);
