#include "keycursor.h"

#include "connection.h"
#include "usererror.h"

#include <sqlite3.h>

namespace {

// A key this many rows ahead of the current one is stepped to; one farther
// ahead is sought, which costs about as much as these steps.
constexpr int kMostSteps = 16;

QByteArray quotedIdentifier(const QString &name)
{
    QByteArray out = name.toUtf8();
    out.replace('"', "\"\"");
    return '"' + out + '"';
}

} // namespace

KeyCursor::KeyCursor(Connection &connection, const QString &table, const QString &key, const QStringList &columns)
    : m_connection(connection)
    , m_columns(int(columns.size()))
{
    const QByteArray keyName = quotedIdentifier(key);
    QByteArray sql = "SELECT " + keyName;
    for (const QString &column : columns)
        sql += ',' + quotedIdentifier(column);
    sql += " FROM " + quotedIdentifier(table) + " WHERE " + keyName + ">=?1 ORDER BY " + keyName;
    sqlite3 *db = m_connection.handle();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK) {
        const QString message = m_connection.failure(
            QStringLiteral("%1\n命令：%2").arg(QString::fromUtf8(sqlite3_errmsg(db)), QString::fromUtf8(sql)));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw UserError(message);
    }
}

KeyCursor::~KeyCursor()
{
    sqlite3_finalize(m_stmt);
}

void KeyCursor::release() noexcept
{
    sqlite3_reset(m_stmt);
    m_reading = false;
    m_onRow = false;
}

bool KeyCursor::seek(qint64 key)
{
    if (!m_reading || key < m_from || !stepTo(key))
        restart(key);
    return m_onRow && m_at == key;
}

void KeyCursor::restart(qint64 key)
{
    sqlite3_reset(m_stmt);
    sqlite3_bind_int64(m_stmt, 1, key);
    m_reading = true;
    m_onRow = false;
    m_from = key;
    step();
}

// Steps on until the current row's key is at least the key; false when that
// would take more than a few steps.
bool KeyCursor::stepTo(qint64 key)
{
    for (int steps = 0; m_onRow && m_at < key; ++steps) {
        if (steps == kMostSteps)
            return false;
        step();
    }
    return true;
}

void KeyCursor::step()
{
    if (m_onRow)
        m_from = m_at + 1;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_onRow = true;
        m_at = sqlite3_column_int64(m_stmt, 0);
        return;
    }
    m_onRow = false;
    if (rc == SQLITE_DONE)
        return;
    const QString message = m_connection.failure(QString::fromUtf8(sqlite3_errmsg(m_connection.handle())));
    release();
    throw UserError(message);
}

FieldValue KeyCursor::value(int column) const
{
    FieldValue value;
    if (!m_onRow || column < 0 || column >= m_columns)
        return value;
    // One call into the statement, then the value's own accessors: the
    // connection has no mutex of its own (see Connection), so the value needs
    // none either.
    sqlite3_value *cell = sqlite3_column_value(m_stmt, column + 1); // after the key
    switch (sqlite3_value_type(cell)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        value.type = FieldValue::Integer;
        value.integer = sqlite3_value_int64(cell);
        break;
    case SQLITE_FLOAT:
        value.type = FieldValue::Real;
        value.real = sqlite3_value_double(cell);
        break;
    default:
        value.type = FieldValue::Text;
        value.bytes = reinterpret_cast<const char *>(sqlite3_value_text(cell));
        value.length = sqlite3_value_bytes(cell);
        if (!value.bytes)
            value.bytes = "";
        break;
    }
    return value;
}
