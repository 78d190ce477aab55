#pragma once

#include "store/packedrows.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

class Dataset;

// The kind of a field, as the exports treat it: whole numbers go into the
// worksheet as numbers, floating numbers as such, everything else as text.
// A memo is a long text; the worksheet keeps only its first 255 bytes.
enum class FieldType : unsigned char { Text, Memo, Integer, Float, Date };

// A read-only snapshot of a table: the rows of a command taken once, for a
// grid to show and for the exports to walk, each row in the order the store
// returned it. Only the fields asked for are kept, as stored (see
// packedrows); their text is made when shown or written.
class GridTable
{
public:
    struct Field
    {
        QString name;
        FieldType type = FieldType::Text;
    };

    // One value of a row, read in place: text bytes point into the table and
    // stay valid while the table is unchanged. A value in a Date field has
    // its date flag set.
    using Cell = FieldValue;

    GridTable() = default;
    GridTable(const GridTable &) = delete;
    GridTable &operator=(const GridTable &) = delete;

    // Replaces the contents by the rows of the dataset's command, keeping the
    // named fields that the result has, in the order named. The dataset must
    // be closed and stays closed. Errors of the store raise UserError and
    // leave the table empty.
    void load(Dataset &dataset, const QStringList &fieldNames);

    // Building a table by hand: fields first, then the cells of each row in
    // field order; a row is complete after one cell per field.
    void addField(const QString &name, FieldType type);
    void appendNull();
    void appendInteger(qint64 value);
    void appendReal(double value);
    void appendText(QStringView text);

    void clear();

    int rowCount() const { return m_rows.rowCount(); }
    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int index) const { return m_fields.at(size_t(index)); }
    // The field's index, or -1 when the table has no such field.
    int fieldIndex(QStringView name) const;

    Cell cell(int row, int field) const;
    // All cells of a row, in field order.
    void readRow(int row, std::vector<Cell> &cells) const;

    // The cell's text for the screen (see FieldValue::text).
    QString displayText(int row, int field) const { return cell(row, field).text(); }

private:
    void beginCell();

    std::vector<Field> m_fields;
    PackedRows m_rows;
    int m_cellsInRow = 0;
};
