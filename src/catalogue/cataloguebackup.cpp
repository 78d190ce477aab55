#include "cataloguebackup.h"

#include "store/connection.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace catalogue {
namespace {

// Read from the data file at a time.
constexpr int kBlock = 1 << 20;

[[noreturn]] void fail(const Connection &connection, int rc)
{
    const QString &path = connection.absolutePath();
    const int code = rc & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        throw UserError(
            QStringLiteral("数据文件%1正被其他程序写入，在等待的时间内没能取得一份完整的副本。请稍后再备份。")
                .arg(describeFile(path)));
    const QString reason = QString::fromUtf8(sqlite3_errstr(rc));
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
        throw UserError(QStringLiteral("数据文件%1已损坏，不能备份：%2").arg(describeFile(path), reason));
    throw UserError(QStringLiteral("无法读取数据文件%1：%2").arg(describeFile(path), reason));
}

// Ends the read transaction however the copy ends.
class ReadTransaction
{
public:
    explicit ReadTransaction(Connection &connection)
        : m_db(connection.handle())
    {
        // The read takes SQLite's shared lock, which no writer can commit
        // past, and waits up to the busy timeout for a commit in progress.
        const int rc = sqlite3_exec(m_db, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            const int code = sqlite3_extended_errcode(m_db);
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            fail(connection, code);
        }
    }
    ~ReadTransaction()
    {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    sqlite3 *m_db;
};

} // namespace

void backUp(Connection &connection, const QString &target)
{
    const QString &source = connection.absolutePath();
    // An open connection still reads a data file that was removed or
    // renamed meanwhile: its copy would not be the catalogue the user sees
    // under that name.
    if (!QFileInfo(source).isFile())
        throw UserError(missingDataFileMessage(source));
    const ReadTransaction reading(connection);
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(connection.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        fail(connection, SQLITE_CANTOPEN);
    sqlite3_int64 size = 0;
    if (const int rc = file->pMethods->xFileSize(file, &size); rc != SQLITE_OK)
        fail(connection, rc);

    WholeFile out(target);
    const auto block = std::make_unique<char[]>(kBlock);
    for (sqlite3_int64 at = 0; at < size;) {
        const int n = int(std::min<sqlite3_int64>(kBlock, size - at));
        if (const int rc = file->pMethods->xRead(file, block.get(), n, at); rc != SQLITE_OK)
            fail(connection, rc);
        out.write(block.get(), n);
        at += n;
    }
    out.close();
    out.commit();
}

} // namespace catalogue
