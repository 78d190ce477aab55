#pragma once

#include "gridexport.h"

// Writes a grid as a BIFF4 worksheet, the single-sheet file of Excel 4.0,
// record by record with no container around it: the preamble (palette,
// fonts, cell formats, column widths, extent), the captions as row 0, one row
// per record, and the end record. Texts are GB18030 bytes.
//
// Whole numbers go in as RK cells, or as NUMBER cells when they are too
// large for one; floating numbers as NUMBER cells; every other value, dates
// included, as a text in the form the grid shows it.
class TGridExportExcel : public TGridExport
{
public:
    using TGridExport::TGridExport;

    // Sheet rows are numbered in 16 bits: the captions and this many records.
    static constexpr qsizetype kMaxRecords = 65535;
    // A format's font index is one byte; the columns' fonts start at 10.
    static constexpr qsizetype kMaxColumns = 246;

    // Refuses, with a message for the user, a sheet of more records than it
    // can hold.
    static void checkRecordCount(qsizetype records);

protected:
    void CheckSize(qsizetype records, qsizetype columns) const override;
    void DoBeginWriting() override;
    void DoWriteHeader() override;
    void DoWriteRecord(int row) override;
    void DoWriteFooter() override;
    void DoEndWriting() override;

private:
    void writeLabel(quint16 column, quint16 format, QByteArrayView text);
    void writeRk(quint16 column, quint16 format, qint64 value);
    void writeNumber(quint16 column, quint16 format, double value);

    QByteArray m_record;
    QByteArray m_text;
};
