#include "cataloguebackup.h"

#include "store/connection.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace catalogue {
namespace {

// The copy's own connection to the data file.
class Db
{
public:
    explicit Db(const QString &path)
        : m_path(path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_busy_timeout(m_db, kBusyTimeout);
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    void exec(const char *sql)
    {
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }

private:
    [[noreturn]] void fail(int rc) const
    {
        const int code = rc & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw UserError(
                QStringLiteral("数据文件%1正被其他程序写入，在等待的时间内没能取得一份完整的副本。请稍后再备份。")
                    .arg(describeFile(m_path)));
        const QString reason = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
        if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
            throw UserError(QStringLiteral("数据文件%1已损坏，不能备份：%2").arg(describeFile(m_path), reason));
        throw UserError(QStringLiteral("无法读取数据文件%1：%2").arg(describeFile(m_path), reason));
    }

    QString m_path;
    sqlite3 *m_db = nullptr;
};

} // namespace

void backUp(const QString &dataFile, const QString &target)
{
    const QString source = QFileInfo(dataFile).absoluteFilePath();
    // The file is opened before SQLite locks it and closed only after SQLite
    // has let it go: closing a descriptor of a file drops every lock this
    // process holds on it.
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("无法读取数据文件%1：%2").arg(describeFile(source), in.errorString()));
    {
        // Opened for writing, never created: a change interrupted by a crash
        // is rolled back before anything is read.
        Db db(source);
        // The read takes SQLite's shared lock, which no writer can commit
        // past, and waits up to the busy timeout for a commit in progress.
        db.exec("BEGIN; SELECT count(*) FROM sqlite_master;");
        WholeFile out(target);
        out.copyFrom(in);
        out.close();
        db.exec("COMMIT");
        out.commit();
    }
    in.close();
}

} // namespace catalogue
