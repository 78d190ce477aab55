#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringConverter>
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
// returned it. Only the fields asked for are kept. Texts are held as GB18030
// bytes, the bytes the export files carry; dates as their short date text.
// A hundred thousand rows cost one packed buffer and one offset each.
class GridTable
{
public:
    struct Field
    {
        QString name;
        FieldType type = FieldType::Text;
    };

    // One value of a row. Text bytes point into the table and stay valid
    // while the table is unchanged.
    struct Cell
    {
        enum Kind : unsigned char { Null, Integer, Real, Text };
        Kind kind = Null;
        qint64 integer = 0;
        double real = 0;
        QByteArrayView bytes;
    };

    GridTable();
    ~GridTable();
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

    int rowCount() const { return int(m_rowStarts.size()); }
    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int index) const { return m_fields.at(size_t(index)); }
    // The field's index, or -1 when the table has no such field.
    int fieldIndex(QStringView name) const;

    Cell cell(int row, int field) const;
    // All cells of a row, in field order.
    void readRow(int row, std::vector<Cell> &cells) const;

    // The cell's text as the exports write it, in GB18030 bytes: nothing for
    // no value, a whole number in decimal digits, a floating number with up
    // to 15 significant digits, a text or date as held.
    static void appendCellText(const Cell &cell, QByteArray &out);
    // The same text for the screen.
    QString displayText(int row, int field) const;

private:
    static const char *readCell(const char *p, Cell &out);
    void beginCell(unsigned char tag);
    void appendTextBytes(QByteArrayView bytes);

    std::vector<Field> m_fields;
    std::vector<qsizetype> m_rowStarts;
    QByteArray m_data;
    QByteArray m_scratch;
    int m_cellsInRow = 0;
    QStringEncoder m_encoder;
    mutable QStringDecoder m_decoder;
};
