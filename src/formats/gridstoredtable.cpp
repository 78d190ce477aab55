#include "gridstoredtable.h"

#include "store/dataset.h"
#include "store/declaredkind.h"
#include "store/keycursor.h"
#include "store/usererror.h"

#include <limits>

namespace {

// Rows read at a time for the screen, and how many such pages are kept: a
// grid shows a few dozen rows.
constexpr int kPageRows = 256;
constexpr size_t kPagesKept = 8;

FieldType typeOfDeclared(const QByteArray &declared)
{
    switch (declaredKind(declared)) {
    case DeclaredKind::Integer:
        return FieldType::Integer;
    case DeclaredKind::Date:
        return FieldType::Date;
    case DeclaredKind::Float:
        return FieldType::Float;
    case DeclaredKind::Memo:
        return FieldType::Memo;
    case DeclaredKind::Text:
        break;
    }
    return FieldType::Text;
}

// Reads the rows of the table asked for by the export, by key.
class StoredRowReader : public GridRowReader
{
public:
    StoredRowReader(const StoredGridTable &table, std::unique_ptr<KeyCursor> cursor)
        : m_table(table)
        , m_cursor(std::move(cursor))
        , m_cells(size_t(table.fieldCount()))
    {
        for (int f = 0; f < table.fieldCount(); ++f)
            m_dates.push_back(table.field(f).type == FieldType::Date);
    }

    const std::vector<FieldValue> &read(int row) override
    {
        const bool found = m_cursor->seek(m_table.key(row));
        for (size_t f = 0; f < m_cells.size(); ++f) {
            m_cells[f] = found ? m_cursor->value(int(f)) : FieldValue();
            m_cells[f].date = m_dates[f];
        }
        return m_cells;
    }

private:
    const StoredGridTable &m_table;
    std::unique_ptr<KeyCursor> m_cursor;
    std::vector<FieldValue> m_cells;
    std::vector<bool> m_dates;
};

} // namespace

StoredGridTable::StoredGridTable() = default;

StoredGridTable::~StoredGridTable() = default;

void StoredGridTable::close()
{
    dropPages();
    m_pageCursor.reset();
    m_keys.clear();
    m_rowCount = 0;
    m_columns.clear();
    m_table.clear();
    m_key.clear();
    m_connection = nullptr;
    clearFields();
}

void StoredGridTable::dropPages()
{
    m_pages.clear();
}

void StoredGridTable::open(Dataset &dataset, const QStringList &fieldNames)
{
    close();
    try {
        // The table and its key, as the dataset writes them.
        int keyColumn = -1;
        dataset.open();
        {
            const ScopedClose closing(dataset);
            m_table = dataset.tableName();
            keyColumn = dataset.keyFieldIndex();
            m_key = dataset.fieldName(keyColumn);
        }
        auto findFields = [&](const Dataset::Row &result) {
            for (const QString &name : fieldNames) {
                for (int i = 0; i < result.fieldCount(); ++i) {
                    if (name.compare(result.fieldName(i), Qt::CaseInsensitive) == 0) {
                        appendField(name, typeOfDeclared(result.declaredType(i)));
                        m_columns << result.fieldName(i);
                        break;
                    }
                }
            }
        };
        auto addKey = [&](const Dataset::Row &row) {
            const FieldValue key = row.value(keyColumn);
            if (key.type != FieldValue::Integer)
                throw UserError(QStringLiteral("表“%1”的主键“%2”不是整数，无法显示其中的记录。").arg(m_table, m_key));
            appendKey(key.integer);
        };
        dataset.scan(addKey, findFields);
        m_connection = &dataset.connection();
    } catch (...) {
        close();
        throw;
    }
}

void StoredGridTable::appendKey(qint64 key)
{
    if (m_rowCount == std::numeric_limits<int>::max())
        throw UserError(QStringLiteral("表“%1”的记录太多，表格无法全部显示。").arg(m_table));
    const int at = m_rowCount & kBlockMask;
    if (at == 0)
        m_keys.push_back(std::make_unique_for_overwrite<qint64[]>(size_t(kBlockMask) + 1));
    m_keys.back()[at] = key;
    ++m_rowCount;
}

std::unique_ptr<KeyCursor> StoredGridTable::cursor() const
{
    if (!m_connection)
        throw UserError(QStringLiteral("表格的数据没有读入。"));
    return std::make_unique<KeyCursor>(*m_connection, m_table, m_key, m_columns);
}

std::unique_ptr<GridRowReader> StoredGridTable::reader() const
{
    return std::make_unique<StoredRowReader>(*this, cursor());
}

QString StoredGridTable::displayText(int row, int field) const
{
    if (field < 0 || field >= fieldCount())
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(field));
    const Page &shown = page(row);
    const int at = row - shown.first;
    if (at >= shown.rows.rowCount())
        return QString();
    FieldValue value = shown.rows.value(at, field);
    value.date = isDate(field);
    return value.text();
}

const StoredGridTable::Page &StoredGridTable::page(int row) const
{
    const int first = row - row % kPageRows;
    for (Page &kept : m_pages) {
        if (kept.first == first) {
            kept.lastUse = ++m_uses;
            return kept;
        }
    }
    Page *slot = nullptr;
    if (m_pages.size() < kPagesKept) {
        m_pages.reserve(kPagesKept);
        slot = &m_pages.emplace_back();
    } else {
        slot = &m_pages.front();
        for (Page &kept : m_pages)
            if (kept.lastUse < slot->lastUse)
                slot = &kept;
    }
    slot->first = first;
    slot->lastUse = ++m_uses;
    slot->rows.clear();
    readPage(*slot);
    return *slot;
}

// The page's rows, read in one go; the data file is let go afterwards, also
// when reading fails (the page then stays empty).
void StoredGridTable::readPage(Page &page) const
{
    try {
        if (!m_pageCursor)
            m_pageCursor = cursor();
        const int end = std::min(rowCount(), page.first + kPageRows);
        const int fields = fieldCount();
        for (int row = page.first; row < end; ++row) {
            page.rows.beginRow();
            if (m_pageCursor->seek(key(row)))
                for (int f = 0; f < fields; ++f)
                    page.rows.add(m_pageCursor->value(f));
        }
        m_pageCursor->release();
    } catch (...) {
        if (m_pageCursor)
            m_pageCursor->release();
        page.rows.clear();
        throw;
    }
}
