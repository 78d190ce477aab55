#pragma once

#include "storedvalue.h"

#include <QByteArrayView>

#include <vector>

// Rows of stored values packed into one growing buffer: the one way this
// program keeps many rows in memory (a dataset's snapshot, the book list, the
// export grid's pages). A row costs its values' bytes, a count and one offset; a
// hundred thousand rows are a handful of allocations, and clearing gives them
// all back at once.
//
// A row is its count of values (two bytes) and then its values. Each value
// is a tag byte and its payload: nothing for no value, a
// variable-length number for a whole number (small numbers take one byte),
// eight bytes for a floating number, a length and the UTF-8 bytes for a text.
// Rows hold any number of values. The date flag is not stored: whoever owns
// the rows knows its date columns.
class PackedRows
{
public:
    int rowCount() const { return int(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }

    // Writing a row: beginRow(), then its values in order.
    void beginRow();
    void addNull();
    void addInteger(qint64 value);
    void addReal(double value);
    void addText(QByteArrayView utf8);
    void add(const FieldValue &value);

    // The last row written takes the place of row; the old bytes stay unused
    // until the next clear (rows are seldom rewritten).
    void moveLastTo(int row);
    void removeRow(int row);
    // Puts the rows in a new order: the row at i becomes the row order[i].
    // Only the offsets move.
    void reorder(const std::vector<int> &order);
    // Empties the rows and gives their memory back.
    void clear();
    // Gives back the room grown beyond what the rows need, but for a little
    // kept for rows added later.
    void squeeze();

    // The rows in the order their bytes stand in memory. Reading many rows
    // in this order reads the buffer from front to back, where the rows'
    // own order (after a reorder) would jump all over it.
    std::vector<int> storageOrder() const;
    // How many values the row holds.
    int valueCount(int row) const;
    // The row's value at column; no value when the row has fewer.
    FieldValue value(int row, int column) const;
    // All values of the row, in order.
    void readRow(int row, std::vector<FieldValue> &values) const;

    PackedRows() = default;
    ~PackedRows();
    PackedRows(PackedRows &&other) noexcept;
    PackedRows &operator=(PackedRows &&other) noexcept;
    PackedRows(const PackedRows &) = delete;
    PackedRows &operator=(const PackedRows &) = delete;

private:
    void countValue();
    // Room for n more bytes at the end; returns where they go.
    char *room(qsizetype n);
    void put(const void *bytes, qsizetype n);
    const char *rowStart(int row, int &count) const;
    static const char *readValue(const char *p, FieldValue &out);
    void appendVarint(quint64 value);

    // One buffer grown by realloc: a large one grows by remapping its pages
    // rather than by copying them.
    char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
    std::vector<qsizetype> m_starts;
    qsizetype m_countAt = 0; // where the row being written keeps its count
    int m_count = 0;
};
