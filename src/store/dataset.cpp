#include "dataset.h"

#include "connection.h"
#include "datetext.h"
#include "declaredkind.h"
#include "usererror.h"

#include <QRegularExpression>

#include <algorithm>

#include <sqlite3.h>

namespace {

// Finalizes a statement when the step that uses it ends.
struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

bool isDateType(const char *declared)
{
    return declaredKind(QByteArrayView(declared)) == DeclaredKind::Date;
}

QByteArray quotedIdentifier(const QString &name)
{
    QByteArray out = name.toUtf8();
    out.replace('"', "\"\"");
    return '"' + out + '"';
}

} // namespace

Dataset::Dataset(Connection &connection)
    : m_connection(&connection)
{}

Dataset::~Dataset() = default;

Connection &Dataset::connection()
{
    return *m_connection;
}

void Dataset::fail(const QString &what) const
{
    throw UserError(m_connection->failure(what));
}

sqlite3_stmt *Dataset::prepare(const QByteArray &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(connection().handle(), sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(QStringLiteral("%1\n命令：%2")
                 .arg(QString::fromUtf8(sqlite3_errmsg(connection().handle())), QString::fromUtf8(sql)));
    }
    return stmt;
}

void Dataset::setCommandText(const QString &text, const QVariantList &values)
{
    if (text == m_command && values == m_values)
        return;
    if (isOpen())
        throw UserError(QStringLiteral("数据集正在使用中，不能更改命令文本。"));
    m_command = text;
    m_values = values;
}

sqlite3_stmt *Dataset::prepareCommand()
{
    sqlite3_stmt *stmt = prepare(m_command.toUtf8());
    if (sqlite3_bind_parameter_count(stmt) != int(m_values.size())) {
        sqlite3_finalize(stmt);
        throw UserError(QStringLiteral("命令“%1”需要 %2 个值，给出了 %3 个。")
                            .arg(m_command)
                            .arg(sqlite3_bind_parameter_count(stmt))
                            .arg(m_values.size()));
    }
    for (int i = 0; i < int(m_values.size()); ++i) {
        const QVariant &value = m_values[i];
        const int type = value.typeId();
        if (type == QMetaType::LongLong || type == QMetaType::Int) {
            sqlite3_bind_int64(stmt, i + 1, value.toLongLong());
        } else {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    return stmt;
}

void Dataset::open()
{
    if (isOpen())
        close();
    Statement st;
    st.stmt = prepareCommand();
    const int columns = sqlite3_column_count(st.stmt);
    std::vector<Column> names;
    names.reserve(size_t(columns));
    for (int i = 0; i < columns; ++i) {
        Column c;
        c.name = QString::fromUtf8(sqlite3_column_name(st.stmt, i));
        const char *declared = sqlite3_column_decltype(st.stmt, i);
        if (isDateType(declared))
            c.kind = Kind::Date;
        else if (declaredKind(QByteArrayView(declared)) == DeclaredKind::Integer)
            c.kind = Kind::Integer;
        names.push_back(std::move(c));
    }
    m_columns = std::move(names);
    m_rows.clear();
    m_taken = false;
    m_current = 0;
    m_table.clear();
    m_keyColumn = -1;
    m_pending.clear();
    m_state = State::Browse;
}

void Dataset::take()
{
    if (m_taken)
        return;
    Statement st;
    st.stmt = prepareCommand();
    // Rows added before the snapshot was read stand after it, as if it had
    // been read at open; the result may hold them already.
    std::vector<qint64> added;
    for (int row = 0; row < m_rows.rowCount(); ++row)
        added.push_back(m_rows.value(row, m_keyColumn).integer);
    PackedRows taken;
    for (;;) {
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail(QString::fromUtf8(sqlite3_errmsg(connection().handle())));
        if (!added.empty() && sqlite3_column_type(st.stmt, m_keyColumn) == SQLITE_INTEGER &&
            std::find(added.begin(), added.end(), sqlite3_column_int64(st.stmt, m_keyColumn)) != added.end())
            continue;
        appendRowFrom(st.stmt, taken);
    }
    const int before = taken.rowCount();
    std::vector<FieldValue> values;
    for (int row = 0; row < m_rows.rowCount(); ++row) {
        m_rows.readRow(row, values);
        taken.beginRow();
        for (const FieldValue &value : values)
            taken.add(value);
    }
    taken.squeeze();
    m_rows = std::move(taken);
    if (!added.empty())
        m_current += before;
    m_taken = true;
}

const PackedRows &Dataset::rows() const
{
    const_cast<Dataset *>(this)->take();
    return m_rows;
}

void Dataset::appendRowFrom(sqlite3_stmt *stmt, PackedRows &into) const
{
    const int columns = int(m_columns.size());
    into.beginRow();
    for (int i = 0; i < columns; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            into.addInteger(sqlite3_column_int64(stmt, i));
            break;
        case SQLITE_FLOAT:
            into.addReal(sqlite3_column_double(stmt, i));
            break;
        case SQLITE_NULL:
            into.addNull();
            break;
        default: {
            const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
            into.addText(QByteArrayView(bytes ? bytes : "", sqlite3_column_bytes(stmt, i)));
            break;
        }
        }
    }
}

void Dataset::close()
{
    m_state = State::Closed;
    m_columns.clear();
    m_rows.clear();
    m_taken = false;
    m_current = 0;
    m_pending.clear();
}

void Dataset::requireOpen() const
{
    if (!isOpen())
        throw UserError(QStringLiteral("数据集没有打开。"));
}

void Dataset::requireCurrent() const
{
    requireOpen();
    // A row added before the result was read is current without reading it.
    if (!m_taken && m_current < m_rows.rowCount())
        return;
    const int count = rows().rowCount(); // may place the current row
    if (m_current >= count)
        throw UserError(QStringLiteral("没有当前记录：结果中没有更多的记录。"));
}

int Dataset::recordCount() const
{
    requireOpen();
    return rows().rowCount();
}

bool Dataset::eof() const
{
    if (!isOpen())
        return true;
    const int count = rows().rowCount();
    return m_current >= count;
}

void Dataset::next()
{
    requireOpen();
    if (m_state != State::Browse)
        post();
    const int count = rows().rowCount();
    if (m_current < count)
        ++m_current;
}

QString Dataset::fieldName(int column) const
{
    return m_columns.at(size_t(column)).name;
}

int Dataset::fieldIndex(QStringView name) const
{
    requireOpen();
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name == name)
            return int(i);
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    throw UserError(QStringLiteral("结果中没有字段“%1”。").arg(name));
}

Dataset::Value Dataset::valueAt(int row, int column) const
{
    Value value = m_rows.value(row, column);
    value.date = m_columns[size_t(column)].kind == Kind::Date;
    return value;
}

Dataset::Value Dataset::value(int column) const
{
    requireCurrent();
    if (column < 0 || column >= int(m_columns.size()))
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(column));
    return valueAt(m_current, column);
}

int Dataset::Row::fieldCount() const
{
    return sqlite3_column_count(m_stmt);
}

int Dataset::Row::fieldIndex(QStringView name) const
{
    const int columns = fieldCount();
    for (int i = 0; i < columns; ++i)
        if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw UserError(QStringLiteral("结果中没有字段“%1”。").arg(name));
}

QString Dataset::Row::fieldName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QByteArray Dataset::Row::declaredType(int column) const
{
    return QByteArray(sqlite3_column_decltype(m_stmt, column));
}

Dataset::Value Dataset::Row::value(int column) const
{
    Value value;
    value.date = m_dates[size_t(column)] != 0;
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        value.type = Value::Integer;
        value.integer = sqlite3_column_int64(m_stmt, column);
        break;
    case SQLITE_FLOAT:
        value.type = Value::Real;
        value.real = sqlite3_column_double(m_stmt, column);
        break;
    default:
        value.type = Value::Text;
        value.bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        value.length = sqlite3_column_bytes(m_stmt, column);
        if (!value.bytes)
            value.bytes = "";
        break;
    }
    return value;
}

void Dataset::scan(const std::function<void(const Row &)> &visit, const std::function<void(const Row &)> &columns)
{
    if (isOpen())
        throw UserError(QStringLiteral("数据集正在使用中，不能再次执行命令。"));
    Statement st;
    st.stmt = prepareCommand();
    const int count = sqlite3_column_count(st.stmt);
    std::vector<unsigned char> dates(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        dates[size_t(i)] = isDateType(sqlite3_column_decltype(st.stmt, i));
    const Row row(st.stmt, dates);
    if (columns)
        columns(row);
    for (;;) {
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail(QString::fromUtf8(sqlite3_errmsg(connection().handle())));
        visit(row);
    }
}

QString Dataset::fieldText(int column) const
{
    requireOpen();
    if (column < 0 || column >= int(m_columns.size()))
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(column));
    if (m_state != State::Browse && m_pending[size_t(column)].set) {
        Value pending = m_pending[size_t(column)].value.view();
        pending.date = m_columns[size_t(column)].kind == Kind::Date;
        return pending.text();
    }
    if (m_state == State::Inserting)
        return QString();
    requireCurrent();
    return valueAt(m_current, column).text();
}

void Dataset::setFieldByName(QStringView name, const QString &text)
{
    const int column = fieldIndex(name);
    if (m_state != State::Inserting && m_state != State::Editing)
        throw UserError(QStringLiteral("写入字段“%1”之前没有开始新增或修改记录。").arg(name));

    Pending pending;
    pending.set = true;
    StoredValue &value = pending.value;
    const Column &c = m_columns[size_t(column)];
    if (c.kind == Kind::Text) {
        value.type = Value::Text;
        value.text = text.toUtf8();
    } else if (text.isEmpty()) {
        value.type = Value::Null;
    } else if (c.kind == Kind::Integer) {
        bool ok = false;
        const QString trimmed = text.trimmed();
        value.integer = trimmed.toLongLong(&ok);
        if (!ok)
            throw UserError(QStringLiteral("“%1”不是整数，不能写入字段“%2”。").arg(text, c.name));
        value.type = Value::Integer;
    } else {
        const QDate date = datetext::parse(text);
        if (!date.isValid())
            throw UserError(QStringLiteral("“%1”不是有效的日期（格式 %2），不能写入字段“%3”。")
                                .arg(text, datetext::shortFormat(), c.name));
        value.type = Value::Text;
        value.text = datetext::toIso(date).toUtf8();
    }
    m_pending[size_t(column)] = std::move(pending);
}

void Dataset::locateTable()
{
    if (m_keyColumn >= 0)
        return;
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = from.match(m_command);
    if (!match.hasMatch())
        throw UserError(QStringLiteral("命令“%1”没有指明要写入的表。").arg(m_command));
    const QString table = match.captured(1);

    Statement st;
    st.stmt = prepare("PRAGMA table_info(" + quotedIdentifier(table) + ")");
    QString key;
    while (sqlite3_step(st.stmt) == SQLITE_ROW) {
        if (sqlite3_column_int(st.stmt, 5) == 1)
            key = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.stmt, 1)));
    }
    if (key.isEmpty())
        throw UserError(QStringLiteral("表“%1”没有主键，不能写入。").arg(table));
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(key, Qt::CaseInsensitive) == 0)
            m_keyColumn = int(i);
    if (m_keyColumn < 0)
        throw UserError(QStringLiteral("命令“%1”的结果中没有主键“%2”，不能写入。").arg(m_command, key));
    m_table = table;
}

QString Dataset::tableName()
{
    requireOpen();
    locateTable();
    return m_table;
}

int Dataset::keyFieldIndex()
{
    requireOpen();
    locateTable();
    return m_keyColumn;
}

void Dataset::append()
{
    requireOpen();
    if (m_state != State::Browse)
        post();
    locateTable();
    m_pending.assign(m_columns.size(), Pending{});
    m_state = State::Inserting;
}

void Dataset::edit()
{
    requireOpen();
    if (rows().isEmpty()) {
        append();
        return;
    }
    if (m_state != State::Browse)
        post();
    requireCurrent();
    locateTable();
    m_pending.assign(m_columns.size(), Pending{});
    m_state = State::Editing;
}

void Dataset::post()
{
    requireOpen();
    if (m_state == State::Browse)
        return;

    std::vector<int> written;
    for (size_t i = 0; i < m_pending.size(); ++i)
        if (m_pending[i].set)
            written.push_back(int(i));

    QByteArray sql;
    if (m_state == State::Inserting) {
        if (written.empty()) {
            sql = "INSERT INTO " + quotedIdentifier(m_table) + " DEFAULT VALUES";
        } else {
            QByteArray names, marks;
            for (int column : written) {
                names += (names.isEmpty() ? "" : ",") + quotedIdentifier(m_columns[size_t(column)].name);
                marks += marks.isEmpty() ? "?" : ",?";
            }
            sql = "INSERT INTO " + quotedIdentifier(m_table) + " (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        if (written.empty()) {
            m_pending.clear();
            m_state = State::Browse;
            return;
        }
        QByteArray sets;
        for (int column : written)
            sets += (sets.isEmpty() ? "" : ",") + quotedIdentifier(m_columns[size_t(column)].name) + "=?";
        sql = "UPDATE " + quotedIdentifier(m_table) + " SET " + sets + " WHERE " +
              quotedIdentifier(m_columns[size_t(m_keyColumn)].name) + "=?";
    }

    Statement st;
    st.stmt = prepare(sql);
    int slot = 1;
    for (int column : written) {
        const StoredValue &p = m_pending[size_t(column)].value;
        switch (p.type) {
        case Value::Null:
            sqlite3_bind_null(st.stmt, slot);
            break;
        case Value::Integer:
            sqlite3_bind_int64(st.stmt, slot, p.integer);
            break;
        case Value::Real:
            sqlite3_bind_double(st.stmt, slot, p.real);
            break;
        case Value::Text:
            sqlite3_bind_text(st.stmt, slot, p.text.constData(), int(p.text.size()), SQLITE_TRANSIENT);
            break;
        }
        ++slot;
    }
    qint64 key = 0;
    if (m_state == State::Editing) {
        key = m_rows.value(m_current, m_keyColumn).integer;
        sqlite3_bind_int64(st.stmt, slot, key);
    }
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
        fail(QString::fromUtf8(sqlite3_errmsg(connection().handle())));

    if (m_state == State::Inserting) {
        key = sqlite3_last_insert_rowid(connection().handle());
        m_pending.clear();
        m_state = State::Browse;
        reloadRow(key, -1);
        m_current = m_rows.rowCount() - 1;
    } else {
        const bool changed = sqlite3_changes(connection().handle()) > 0;
        m_pending.clear();
        m_state = State::Browse;
        if (!changed)
            throw UserError(
                QStringLiteral("要修改的记录已不在数据文件%1中。").arg(describeFile(connection().absolutePath())));
        reloadRow(key, m_current);
    }
}

void Dataset::reloadRow(qint64 key, int row)
{
    QByteArray names;
    for (const Column &c : m_columns)
        names += (names.isEmpty() ? "" : ",") + quotedIdentifier(c.name);
    Statement st;
    st.stmt = prepare("SELECT " + names + " FROM " + quotedIdentifier(m_table) + " WHERE " +
                      quotedIdentifier(m_columns[size_t(m_keyColumn)].name) + "=?");
    sqlite3_bind_int64(st.stmt, 1, key);
    if (sqlite3_step(st.stmt) != SQLITE_ROW)
        fail(QString::fromUtf8(sqlite3_errmsg(connection().handle())));
    appendRowFrom(st.stmt, m_rows);
    if (row >= 0)
        m_rows.moveLastTo(row);
}

void Dataset::deleteRecord()
{
    requireOpen();
    if (m_state == State::Inserting) { // deleting a row never posted drops it
        m_pending.clear();
        m_state = State::Browse;
        return;
    }
    m_pending.clear();
    m_state = State::Browse;
    requireCurrent();
    locateTable();
    Statement st;
    st.stmt = prepare("DELETE FROM " + quotedIdentifier(m_table) + " WHERE " +
                      quotedIdentifier(m_columns[size_t(m_keyColumn)].name) + "=?");
    sqlite3_bind_int64(st.stmt, 1, m_rows.value(m_current, m_keyColumn).integer);
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
        fail(QString::fromUtf8(sqlite3_errmsg(connection().handle())));
    m_rows.removeRow(m_current);
}

StoredRecord storedRecord(const Dataset &dataset)
{
    StoredRecord record;
    record.reserve(size_t(dataset.fieldCount()));
    for (int column = 0; column < dataset.fieldCount(); ++column)
        record.push_back(StoredValue::of(dataset.value(column)));
    return record;
}
