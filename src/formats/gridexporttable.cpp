#include "gridexporttable.h"

#include "store/usererror.h"

namespace {

class TableReader : public GridRowReader
{
public:
    explicit TableReader(const GridTable &table)
        : m_table(table)
    {}
    const std::vector<FieldValue> &read(int row) override
    {
        m_table.readRow(row, m_cells);
        return m_cells;
    }

private:
    const GridTable &m_table;
    std::vector<FieldValue> m_cells;
};

} // namespace

void GridTable::clear()
{
    clearFields();
    m_rows.clear();
    m_cellsInRow = 0;
}

void GridTable::addField(const QString &name, FieldType type)
{
    if (!m_rows.isEmpty())
        throw UserError(QStringLiteral("表中已有记录，不能再添加字段“%1”。").arg(name));
    appendField(name, type);
}

void GridTable::beginCell()
{
    if (fieldCount() == 0)
        throw UserError(QStringLiteral("表中没有字段，不能添加记录。"));
    if (m_cellsInRow == 0)
        m_rows.beginRow();
    if (++m_cellsInRow == fieldCount())
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

GridTable::Cell GridTable::cell(int row, int field) const
{
    if (field < 0 || field >= fieldCount())
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(field));
    Cell out = m_rows.value(row, field);
    out.date = isDate(field);
    return out;
}

void GridTable::readRow(int row, std::vector<Cell> &cells) const
{
    m_rows.readRow(row, cells);
    cells.resize(size_t(fieldCount()));
    for (size_t f = 0; f < cells.size(); ++f)
        cells[f].date = isDate(int(f));
}

std::unique_ptr<GridRowReader> GridTable::reader() const
{
    return std::make_unique<TableReader>(*this);
}
