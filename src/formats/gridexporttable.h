#pragma once

#include "gridsource.h"

#include "store/packedrows.h"

#include <QString>
#include <QStringView>

#include <vector>

// A table held in memory, built by hand: fields first, then the cells of
// each row in field order. The values are kept as stored (see packedrows);
// their text is made when shown or written.
class GridTable : public GridSource
{
public:
    GridTable() = default;

    // A row is complete after one cell per field.
    void addField(const QString &name, FieldType type);
    void appendNull();
    void appendInteger(qint64 value);
    void appendReal(double value);
    void appendText(QStringView text);

    void clear();

    int rowCount() const override { return m_rows.rowCount(); }

    // The cell read in place: text bytes point into the table and stay
    // valid while the table is unchanged.
    Cell cell(int row, int field) const;
    // All cells of a row, in field order.
    void readRow(int row, std::vector<Cell> &cells) const;

    QString displayText(int row, int field) const override { return cell(row, field).text(); }
    std::unique_ptr<GridRowReader> reader() const override;

private:
    void beginCell();

    PackedRows m_rows;
    int m_cellsInRow = 0;
};
