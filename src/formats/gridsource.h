#pragma once

#include "store/storedvalue.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

// The kind of a field, as the exports treat it: whole numbers go into the
// worksheet as numbers, floating numbers as such, everything else as text.
// A memo is a long text; the worksheet keeps only its first 255 bytes.
enum class FieldType : unsigned char { Text, Memo, Integer, Float, Date };

// Reads a table's rows for one export walk, in the order the walk asks for
// them. Errors of the store raise UserError.
class GridRowReader
{
public:
    virtual ~GridRowReader() = default;
    // The row's cells, in field order; a cell of a Date field has its date
    // flag set. They stay valid until the next read or until the reader goes.
    virtual const std::vector<FieldValue> &read(int row) = 0;
};

// The rows a grid shows and its exports write: named fields, each of a
// type, and rows of one value per field, in a fixed number and order. The
// screen asks for one cell's text at a time; an export reads whole rows
// through a reader of its own.
class GridSource
{
public:
    struct Field
    {
        QString name;
        FieldType type = FieldType::Text;
    };

    // One value of a row, read in place (see FieldValue).
    using Cell = FieldValue;

    virtual ~GridSource() = default;
    GridSource(const GridSource &) = delete;
    GridSource &operator=(const GridSource &) = delete;

    virtual int rowCount() const = 0;
    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int index) const { return m_fields.at(size_t(index)); }
    // The field's index, or -1 when the table has no such field.
    int fieldIndex(QStringView name) const;

    // The cell's text for the screen (see FieldValue::text).
    virtual QString displayText(int row, int field) const = 0;
    // A reader for one walk over the rows. It may hold the data file open
    // for reading until it goes.
    virtual std::unique_ptr<GridRowReader> reader() const = 0;

protected:
    GridSource() = default;
    void appendField(const QString &name, FieldType type);
    void clearFields() { m_fields.clear(); }
    bool isDate(int field) const { return m_fields[size_t(field)].type == FieldType::Date; }

private:
    std::vector<Field> m_fields;
};
