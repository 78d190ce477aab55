#include "schema.h"

#include "store/connection.h"
#include "store/usererror.h"
#include "storedalready.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace schema {

const char *sql()
{
    // Keys are assigned by the store and never reused after a delete. Dates
    // are kept as ISO 8601 text under the declared type DATE.
    return R"sql(
PRAGMA application_id = 1364017457;
PRAGMA user_version = 1;
CREATE TABLE book (
    book_id       INTEGER PRIMARY KEY AUTOINCREMENT,
    book_name     TEXT,
    book_cate     TEXT,
    book_author   TEXT,
    book_author2  TEXT,
    book_language TEXT,
    book_isbn     TEXT,
    book_pub      TEXT,
    book_pubd     DATE,
    book_pages    INTEGER,
    book_buya     TEXT,
    book_buyd     DATE,
    book_value    TEXT,
    book_rating   INTEGER,
    book_loan     INTEGER,
    book_readed   INTEGER,
    book_reader   TEXT,
    book_loand    DATE,
    book_note     TEXT
);
CREATE INDEX book_by_cate ON book (book_cate);
CREATE TABLE category (
    cate_id   INTEGER PRIMARY KEY AUTOINCREMENT,
    cate_name TEXT
);
CREATE TABLE pub (
    pub_id   INTEGER PRIMARY KEY AUTOINCREMENT,
    pub_name TEXT
);
CREATE TABLE author (
    author_id   INTEGER PRIMARY KEY AUTOINCREMENT,
    author_name TEXT
);
CREATE TABLE reader (
    reader_id   INTEGER PRIMARY KEY AUTOINCREMENT,
    reader_name TEXT
);
CREATE TABLE reg (
    reg_id     INTEGER PRIMARY KEY AUTOINCREMENT,
    reg_passwd TEXT
);
INSERT INTO reg (reg_passwd) VALUES ('');
)sql";
}

void create(const QString &path)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(target))
        throw UserError(QStringLiteral("数据文件%1已经存在，不会覆盖它。").arg(describeFile(target)));

    const QString temporary = target + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        // Created empty by SQLite itself, then filled in one transaction.
        sqlite3 *db = nullptr;
        const QByteArray name = QFile::encodeName(temporary);
        const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        QString failure;
        if (rc != SQLITE_OK) {
            failure = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        } else {
            // With the indexes the program makes on opening a file that
            // lacks them: a new file is not changed by its first start.
            const QByteArray script =
                QByteArray("PRAGMA journal_mode=DELETE; BEGIN;") + sql() + storedalready::indexSql() + "COMMIT;";
            char *error = nullptr;
            if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &error) != SQLITE_OK)
                failure = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
            sqlite3_free(error);
        }
        if (sqlite3_close(db) != SQLITE_OK && failure.isEmpty())
            failure = QStringLiteral("无法关闭文件");
        if (!failure.isEmpty()) {
            QFile::remove(temporary);
            throw UserError(QStringLiteral("无法新建数据文件%1：%2").arg(describeFile(target), failure));
        }
    }
    if (!QFile::rename(temporary, target)) {
        QFile::remove(temporary);
        throw UserError(QStringLiteral("无法新建数据文件%1：不能写入该文件夹。").arg(describeFile(target)));
    }
}

} // namespace schema
