#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// The floors: what the same work costs when SQLite is asked directly through
// its C API, without the program's dataset, rows or list in between. Uses a
// connection of its own to the same data file, set up as the program sets up
// its connection (rollback journal, full synchronous writes).
class Floor
{
public:
    explicit Floor(const QString &file);
    ~Floor();
    Floor(const Floor &) = delete;
    Floor &operator=(const Floor &) = delete;

    struct Read
    {
        int rows = 0;
        quint64 touched = 0; // a sum over the values, so that each is really read
    };

    // Steps all rows of the query and reads every column as text.
    Read readAll(const QByteArray &sql);
    // Reads the book by its number (every column), then deletes it.
    void readAndDelete(qint64 bookId);
    // How many books have this number (0 or 1).
    int countBook(qint64 bookId);

private:
    void exec(const char *sql);

    sqlite3 *m_db = nullptr;
};
