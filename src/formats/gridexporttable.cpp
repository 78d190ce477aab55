#include "gridexporttable.h"

#include "store/dataset.h"
#include "store/declaredkind.h"
#include "store/usererror.h"

#include <cstring>

namespace {

// Each cell is a tag byte and its value: nothing for no value, 8 bytes for a
// number, a length and the bytes for a text (the length in one byte for the
// usual short texts, else in four).
constexpr unsigned char kNull = 0;
constexpr unsigned char kInteger = 1;
constexpr unsigned char kReal = 2;
constexpr unsigned char kShortText = 3;
constexpr unsigned char kText = 4;

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

bool isAscii(const char *bytes, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

GridTable::GridTable()
    : m_encoder("GB18030")
    , m_decoder("GB18030")
{
    if (!m_encoder.isValid() || !m_decoder.isValid())
        throw UserError(QStringLiteral("本程序所用的 Qt 不支持 GB18030 编码，无法导出。"));
}

GridTable::~GridTable() = default;

void GridTable::clear()
{
    m_fields.clear();
    std::vector<qsizetype>().swap(m_rowStarts);
    m_data = QByteArray();
    m_cellsInRow = 0;
}

void GridTable::addField(const QString &name, FieldType type)
{
    if (!m_rowStarts.empty())
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

void GridTable::beginCell(unsigned char tag)
{
    if (m_fields.empty())
        throw UserError(QStringLiteral("表中没有字段，不能添加记录。"));
    if (m_cellsInRow == 0)
        m_rowStarts.push_back(m_data.size());
    m_data.append(char(tag));
    if (++m_cellsInRow == int(m_fields.size()))
        m_cellsInRow = 0;
}

void GridTable::appendNull()
{
    beginCell(kNull);
}

void GridTable::appendInteger(qint64 value)
{
    beginCell(kInteger);
    m_data.append(reinterpret_cast<const char *>(&value), sizeof value);
}

void GridTable::appendReal(double value)
{
    beginCell(kReal);
    m_data.append(reinterpret_cast<const char *>(&value), sizeof value);
}

void GridTable::appendTextBytes(QByteArrayView bytes)
{
    if (bytes.size() <= 0xFF) {
        beginCell(kShortText);
        m_data.append(char(bytes.size()));
    } else {
        beginCell(kText);
        const auto length = quint32(bytes.size());
        m_data.append(reinterpret_cast<const char *>(&length), sizeof length);
    }
    m_data.append(bytes.data(), bytes.size());
}

void GridTable::appendText(QStringView text)
{
    m_scratch.resize(m_encoder.requiredSpace(text.size()));
    const char *end = m_encoder.appendToBuffer(m_scratch.data(), text);
    appendTextBytes(QByteArrayView(m_scratch.constData(), end - m_scratch.constData()));
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
            for (size_t f = 0; f < columns.size(); ++f) {
                const Dataset::Value value = row.value(columns[f]);
                switch (value.type) {
                case Dataset::Value::Null:
                    appendNull();
                    break;
                case Dataset::Value::Integer:
                    appendInteger(value.integer);
                    break;
                case Dataset::Value::Real:
                    appendReal(value.real);
                    break;
                case Dataset::Value::Text:
                    if (!value.date && isAscii(value.bytes, value.length)) {
                        appendTextBytes(QByteArrayView(value.bytes, value.length));
                    } else {
                        appendText(Dataset::valueText(value));
                    }
                    break;
                }
            }
        };
        dataset.scan(addRow, findFields);
        m_data.squeeze();
        m_rowStarts.shrink_to_fit();
    } catch (...) {
        clear();
        throw;
    }
}

const char *GridTable::readCell(const char *p, Cell &out)
{
    const auto tag = static_cast<unsigned char>(*p++);
    out = Cell();
    switch (tag) {
    case kInteger:
        out.kind = Cell::Integer;
        std::memcpy(&out.integer, p, 8);
        return p + 8;
    case kReal:
        out.kind = Cell::Real;
        std::memcpy(&out.real, p, 8);
        return p + 8;
    case kShortText: {
        const auto length = static_cast<unsigned char>(*p++);
        out.kind = Cell::Text;
        out.bytes = QByteArrayView(p, qsizetype(length));
        return p + length;
    }
    case kText: {
        quint32 length = 0;
        std::memcpy(&length, p, sizeof length);
        p += sizeof length;
        out.kind = Cell::Text;
        out.bytes = QByteArrayView(p, qsizetype(length));
        return p + length;
    }
    default:
        return p;
    }
}

GridTable::Cell GridTable::cell(int row, int field) const
{
    if (field < 0 || field >= int(m_fields.size()))
        throw UserError(QStringLiteral("字段序号 %1 超出范围。").arg(field));
    const char *p = m_data.constData() + m_rowStarts.at(size_t(row));
    Cell out;
    for (int f = 0; f <= field; ++f)
        p = readCell(p, out);
    return out;
}

void GridTable::readRow(int row, std::vector<Cell> &cells) const
{
    cells.resize(m_fields.size());
    const char *p = m_data.constData() + m_rowStarts.at(size_t(row));
    for (Cell &c : cells)
        p = readCell(p, c);
}

void GridTable::appendCellText(const Cell &cell, QByteArray &out)
{
    switch (cell.kind) {
    case Cell::Null:
        break;
    case Cell::Integer:
        out.append(QByteArray::number(cell.integer));
        break;
    case Cell::Real:
        out.append(QByteArray::number(cell.real, 'g', 15));
        break;
    case Cell::Text:
        out.append(cell.bytes);
        break;
    }
}

QString GridTable::displayText(int row, int field) const
{
    const Cell c = cell(row, field);
    switch (c.kind) {
    case Cell::Null:
        return QString();
    case Cell::Integer:
        return QString::number(c.integer);
    case Cell::Real:
        return QString::number(c.real, 'g', 15);
    case Cell::Text:
        break;
    }
    if (isAscii(c.bytes.data(), c.bytes.size()))
        return QString::fromLatin1(c.bytes.data(), c.bytes.size());
    return m_decoder.decode(c.bytes);
}
