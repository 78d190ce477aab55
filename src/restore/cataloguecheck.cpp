#include "cataloguecheck.h"

#include "catalogue/schema.h"
#include "store/connection.h"
#include "store/usererror.h"

#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QStringList>

#include <memory>

#include <sqlite3.h>

namespace restore {
namespace {

// The first column of every row as text. False on an error.
bool rows(sqlite3 *db, const QByteArray &sql, QStringList &out, int column = 0)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        out << QString::fromUtf8(text ? text : "");
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

QString errorOf(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QByteArray quotedName(const QString &name)
{
    QByteArray quoted = name.toUtf8();
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

// The tables and columns of a catalogue, as the program makes a new one.
using Schema = QList<QPair<QString, QStringList>>;

Schema expectedSchema()
{
    Schema schema;
    // A new catalogue made in memory: no file is involved.
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, schema::sql(), nullptr, nullptr, nullptr) == SQLITE_OK) {
        QStringList tables;
        rows(db, "select name from sqlite_master where type='table' and name not like 'sqlite_%' order by rowid",
             tables);
        for (const QString &table : std::as_const(tables)) {
            QStringList columns;
            rows(db, "PRAGMA table_info(" + quotedName(table) + ")", columns, 1);
            schema.append({table, columns});
        }
    }
    sqlite3_close(db);
    return schema;
}

const Schema &schema()
{
    static const Schema s = expectedSchema();
    return s;
}

QString checkCatalogue(sqlite3 *db)
{
    QStringList verdict;
    if (!rows(db, "PRAGMA integrity_check", verdict)) {
        const int code = sqlite3_errcode(db) & 0xff;
        if (code == SQLITE_NOTADB)
            return QStringLiteral("这不是数据文件");
        if (code == SQLITE_CORRUPT)
            return QStringLiteral("文件已损坏或不完整");
        return QStringLiteral("无法读取（%1）").arg(errorOf(db));
    }
    if (verdict != QStringList{QStringLiteral("ok")})
        return QStringLiteral("文件已损坏或不完整（%1）").arg(verdict.value(0));

    for (const auto &[table, columns] : schema()) {
        QStringList present;
        if (!rows(db, "PRAGMA table_info(" + quotedName(table) + ")", present, 1))
            return QStringLiteral("无法读取（%1）").arg(errorOf(db));
        if (present.isEmpty())
            return QStringLiteral("缺少数据表“%1”").arg(table);
        for (const QString &column : columns)
            if (!present.contains(column))
                return QStringLiteral("数据表“%1”缺少字段“%2”").arg(table, column);
    }
    return QString();
}

} // namespace

CatalogueFacts inspect(const QString &path)
{
    CatalogueFacts facts;
    const QFileInfo info(path);
    facts.exists = info.exists();
    if (!facts.exists) {
        facts.problem = QStringLiteral("文件不存在");
        return facts;
    }
    if (!info.isFile()) {
        facts.problem = QStringLiteral("这不是一个文件");
        return facts;
    }
    facts.modified = info.lastModified();
    if (info.size() == 0) {
        facts.problem = QStringLiteral("文件是空的");
        return facts;
    }
    if (schema().isEmpty()) {
        facts.problem = QStringLiteral("程序无法建立数据表的清单");
        return facts;
    }

    // Read-only: the file is looked at, never changed, not even rolled
    // back when a change was left unfinished in it.
    std::unique_ptr<Connection> connection;
    try {
        connection = std::make_unique<Connection>(info.absoluteFilePath(), Connection::Mode::ReadOnly);
    } catch (const UserError &e) {
        facts.problem = QStringLiteral("无法打开（%1）").arg(e.message());
        return facts;
    }
    sqlite3 *db = connection->handle();
    facts.problem = checkCatalogue(db);
    if (!facts.problem.isEmpty())
        return facts;

    QStringList count;
    if (!rows(db, "select count(*) from book", count) || count.size() != 1) {
        facts.problem = QStringLiteral("无法读取（%1）").arg(errorOf(db));
        return facts;
    }
    facts.books = count.first().toLongLong();
    facts.catalogue = true;
    return facts;
}

} // namespace restore
