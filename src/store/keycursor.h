#pragma once

#include "storedvalue.h"

#include <QString>
#include <QStringList>

class Connection;
struct sqlite3_stmt;

// Reads chosen columns of one table's rows by the table's integer key (its
// rowid) with one prepared statement: a cursor over the table in key order
// that steps on while the keys asked for follow each other, and seeks the
// key otherwise (a key asked for again, or far ahead). Keys asked for in
// increasing order are read at the speed of a scan; any order is right.
//
// While a read is under way the statement holds the data file open for
// reading, and no program can write it; release() ends the read. The cursor
// reads through the connection it is given, which must outlive it.
class KeyCursor
{
public:
    // Prepares the read of the columns (by name) of the table; throws
    // UserError naming the data file when that fails.
    KeyCursor(Connection &connection, const QString &table, const QString &key, const QStringList &columns);
    ~KeyCursor();
    KeyCursor(const KeyCursor &) = delete;
    KeyCursor &operator=(const KeyCursor &) = delete;

    // Makes the row of the key current; false when the table has none.
    // Throws UserError naming the data file when the store fails; the read
    // is then ended.
    bool seek(qint64 key);
    // A column of the current row, by its place in the columns given. The
    // bytes of a text stay valid until the next seek or release.
    FieldValue value(int column) const;
    // Ends the read under way: the data file is no longer held.
    void release() noexcept;

private:
    void restart(qint64 key);
    bool stepTo(qint64 key);
    void step();

    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
    int m_columns = 0;
    bool m_reading = false; // the statement has run since the last release
    bool m_onRow = false;   // it stands on a row, the one of key m_at
    qint64 m_at = 0;
    // While reading: the table has no row of a key from m_from up to m_at
    // (up to any key once the statement has passed the last row).
    qint64 m_from = 0;
};
