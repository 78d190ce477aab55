#include "gridexporttable.h"

#include "store/dataset.h"
#include "store/declaredkind.h"
#include "store/usererror.h"

#include <cstring>

namespace {

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

} // namespace

void GridTable::clear()
{
    m_fields.clear();
    m_rows.clear();
    m_cellsInRow = 0;
}

void GridTable::addField(const QString &name, FieldType type)
{
    if (!m_rows.isEmpty())
        throw UserError(QStringLiteral("表中已有记录，不能再添加字段“%1”。").arg(name));
    m_fields.push_back({name, type});
}

int GridTable::fieldIndex(QStringView name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void GridTable::beginCell()
{
    if (m_fields.empty())
        throw UserError(QStringLiteral("表中没有字段，不能添加记录。"));
    if (m_cellsInRow == 0)
        m_rows.beginRow();
    if (++m_cellsInRow == int(m_fields.size()))
        m_cellsInRow = 0;
}

void GridTable::appendNull()
{
    beginCell();
    m_rows.addNull();
}

void GridTable::appendInteger(qint64 value)
{
    beginCell();
    m_rows.addInteger(value);
}

void GridTable::appendReal(double value)
{
    beginCell();
    m_rows.addReal(value);
}

void GridTable::appendText(QStringView text)
{
    beginCell();
    m_rows.addText(text.toUtf8());
}

void GridTable::load(Dataset &dataset, const QStringList &fieldNames)
{
    clear();
    try {
        // The declared types of the result's columns decide the field types.
        std::vector<int> columns;
        auto findFields = [&](const Dataset::Row &result) {
            for (const QString &name : fieldNames) {
                for (int i = 0; i < result.fieldCount(); ++i) {
                    if (name.compare(result.fieldName(i), Qt::CaseInsensitive) == 0) {
                        addField(name, typeOfDeclared(result.declaredType(i)));
                        columns.push_back(i);
                        break;
                    }
                }
            }
        };
        auto addRow = [&](const Dataset::Row &row) {
            if (columns.empty())
                return;
            m_rows.beginRow();
            for (const int column : columns)
                m_rows.add(row.value(column));
        };
        dataset.scan(addRow, findFields);
        m_rows.squeeze();
    } catch (...) {
        clear();
        throw;
    }
}

GridTable::Cell GridTable::cell(int row, int field) const
{
    if (field < 0 || field >= int(m_fields.size()))
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(field));
    Cell out = m_rows.value(row, field);
    out.date = m_fields[size_t(field)].type == FieldType::Date;
    return out;
}

void GridTable::readRow(int row, std::vector<Cell> &cells) const
{
    m_rows.readRow(row, cells);
    cells.resize(m_fields.size());
    for (size_t f = 0; f < cells.size(); ++f)
        cells[f].date = m_fields[f].type == FieldType::Date;
}
