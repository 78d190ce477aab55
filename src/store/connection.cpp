#include "connection.h"

#include "usererror.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

Connection::Connection(const QString &fileName, Mode mode)
    : m_path(QFileInfo(fileName).absoluteFilePath())
    , m_mode(mode)
{
    if (!QFileInfo(m_path).isFile())
        throw UserError(missingDataFileMessage(m_path));

    const QByteArray path = QFile::encodeName(m_path);
    const int access = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.constData(), &m_db, access | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw UserError(QStringLiteral("无法打开数据文件%1：%2").arg(describeFile(m_path), reason));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeout);
    if (mode == Mode::ReadOnly)
        return;
    try {
        // A rollback journal keeps the file alone complete between actions,
        // so a byte copy of it is a whole backup.
        exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

Connection::~Connection()
{
    sqlite3_close(m_db);
}

void Connection::exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString reason = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_free(error);
        throw UserError(failure(reason));
    }
}

QString Connection::failure(const QString &what) const
{
    const int code = sqlite3_errcode(m_db) & 0xff;
    if (code == SQLITE_NOTADB)
        return QStringLiteral("数据文件%1不是有效的数据文件：%2").arg(describeFile(m_path), what);
    if (code == SQLITE_READONLY)
        return QStringLiteral("数据文件%1是只读的，不能写入：%2").arg(describeFile(m_path), what);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return QStringLiteral("数据文件%1正被其他程序占用：%2").arg(describeFile(m_path), what);
    if (code == SQLITE_FULL)
        return QStringLiteral("磁盘已满，数据文件%1无法写入：%2").arg(describeFile(m_path), what);
    return QStringLiteral("读写数据文件%1时出错：%2").arg(describeFile(m_path), what);
}

LargePageCache::LargePageCache(Connection &connection, int kibibytes)
    : m_connection(connection)
{
    if (m_connection.m_largeCaches++ == 0) {
        const QByteArray size = QByteArray::number(std::min(kibibytes, kKiB));
        sqlite3_exec(m_connection.m_db, QByteArray("PRAGMA cache_size=-" + size).constData(), nullptr, nullptr,
                     nullptr);
    }
}

LargePageCache::~LargePageCache()
{
    // Back to SQLite's own size, which gives the pages kept above it back.
    if (--m_connection.m_largeCaches == 0)
        sqlite3_exec(m_connection.m_db, "PRAGMA cache_size=-2000", nullptr, nullptr, nullptr);
}
