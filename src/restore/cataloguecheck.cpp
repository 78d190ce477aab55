#include "cataloguecheck.h"

#include "catalogue/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QStringList>

#include <sqlite3.h>

namespace restore {
namespace {

// One connection, closed when it goes out of scope.
class Db
{
public:
    Db(const QByteArray &name, int flags)
    {
        m_rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
        if (m_rc == SQLITE_OK)
            sqlite3_extended_result_codes(m_db, 1);
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    bool isOpen() const { return m_rc == SQLITE_OK; }
    sqlite3 *handle() const { return m_db; }
    QString error() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_rc));
    }

    // The first column of every row as text. False on an error.
    bool rows(const QByteArray &sql, QStringList &out, int column = 0) const
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
            out << QString::fromUtf8(text ? text : "");
        }
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

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
    Db db(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!db.isOpen() || sqlite3_exec(db.handle(), schema::sql(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return schema;
    QStringList tables;
    db.rows("select name from sqlite_master where type='table' and name not like 'sqlite_%' order by rowid", tables);
    for (const QString &table : std::as_const(tables)) {
        QStringList columns;
        db.rows("PRAGMA table_info(" + quotedName(table) + ")", columns, 1);
        schema.append({table, columns});
    }
    return schema;
}

const Schema &schema()
{
    static const Schema s = expectedSchema();
    return s;
}

QString checkCatalogue(const Db &db)
{
    QStringList verdict;
    if (!db.rows("PRAGMA integrity_check", verdict)) {
        const int code = sqlite3_errcode(db.handle()) & 0xff;
        if (code == SQLITE_NOTADB)
            return QStringLiteral("这不是数据文件");
        if (code == SQLITE_CORRUPT)
            return QStringLiteral("文件已损坏或不完整");
        return QStringLiteral("无法读取（%1）").arg(db.error());
    }
    if (verdict != QStringList{QStringLiteral("ok")})
        return QStringLiteral("文件已损坏或不完整（%1）").arg(verdict.value(0));

    for (const auto &[table, columns] : schema()) {
        QStringList present;
        if (!db.rows("PRAGMA table_info(" + quotedName(table) + ")", present, 1))
            return QStringLiteral("无法读取（%1）").arg(db.error());
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

    const Db db(QFile::encodeName(info.absoluteFilePath()), SQLITE_OPEN_READONLY);
    if (!db.isOpen()) {
        facts.problem = QStringLiteral("无法打开（%1）").arg(db.error());
        return facts;
    }
    facts.problem = checkCatalogue(db);
    if (!facts.problem.isEmpty())
        return facts;

    QStringList count;
    if (!db.rows("select count(*) from book", count) || count.size() != 1) {
        facts.problem = QStringLiteral("无法读取（%1）").arg(db.error());
        return facts;
    }
    facts.books = count.first().toLongLong();
    facts.catalogue = true;
    return facts;
}

} // namespace restore
