#pragma once

#include "datafile.h"

#include <QString>

struct sqlite3;

// One open connection to a data file. The file is never created here: a
// missing file is an error, since an empty new catalogue in its place would
// look like every book had been lost.
class Connection
{
public:
    // ReadWrite: the connection every action on a catalogue uses; it keeps
    // the file in rollback-journal mode (see the constructor). ReadOnly: for
    // looking at a file that must stay as it is (a backup before it is
    // restored): nothing is written to it, no setting of the file is made,
    // and a change that another program left unfinished is not rolled back
    // (reading then fails).
    enum class Mode { ReadWrite, ReadOnly };

    // Opens the file at fileName, best absolute (a relative name is taken
    // from the current folder as it is now). Waits up to kBusyTimeout for another program
    // that holds the file briefly.
    // Throws UserError with a message naming the file and its folder.
    explicit Connection(const QString &fileName, Mode mode = Mode::ReadWrite);
    ~Connection();

    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }
    const QString &absolutePath() const { return m_path; }
    Mode mode() const { return m_mode; }

    // Runs statements without results; throws UserError on failure.
    void exec(const char *sql);

    // The error text for the connection's last failure, naming the file.
    QString failure(const QString &what) const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
    Mode m_mode;
    friend class LargePageCache;
    int m_largeCaches = 0;
};

// How long an action waits for another program that holds the data file
// briefly, in milliseconds.
inline constexpr int kBusyTimeout = 5000;

// While it lives, the connection keeps up to kibibytes of the file's pages
// in memory instead of SQLite's 2 MB (at most kKiB): work that goes all
// through the file at random (an import adds to every index) then reads
// each page from the system once, not again and again. Memory is taken only
// for the pages read, and given back at the end.
class LargePageCache
{
public:
    static constexpr int kKiB = 256 * 1024;

    LargePageCache(Connection &connection, int kibibytes);
    ~LargePageCache();
    LargePageCache(const LargePageCache &) = delete;
    LargePageCache &operator=(const LargePageCache &) = delete;

private:
    Connection &m_connection;
};
