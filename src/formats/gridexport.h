#pragma once

#include "gridexporttable.h"
#include "gridsource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringConverter>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

// A colour as 0xRRGGBB; no value stands for "no colour".
using GridColor = std::optional<quint32>;

struct GridFont
{
    QString name;
    int pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    GridColor color;
};

enum class GridAlignment { Left, Right, Center };

// A grid's settings as the writers read them, with the desktop's colours
// already resolved to their current values.
struct GridLook
{
    QString name;    // the grid's object name
    GridColor color; // grid and cell background
    GridColor headerColor;
    GridColor bandColor;
    GridColor groupNodeColor;
    GridColor groupNodeTextColor;
    GridColor rowFooterColor;
    GridColor rowFooterTextColor;
    GridColor gridLineColor;
    GridColor windowFrameColor; // the desktop's window frame colour
    GridColor windowColor;      // the desktop's window colour
    GridFont font;              // cells
    GridFont headerFont;
    GridFont bandFont;
    bool showGrid = true;
    bool showHeader = true;
    bool showBands = false;
    bool showSummaryFooter = false;
    bool singleBorder = true;
    bool ctl3D = true;
};

// A visible column, as the writers see it.
struct GridColumn
{
    QString caption;
    bool captionSuppressed = false;
    int width = 0; // the header's width in pixels
    GridAlignment headerAlignment = GridAlignment::Left;
    GridAlignment alignment = GridAlignment::Left;
    GridColor color;
    GridFont font;
    QString fieldName; // empty: the column shows no field
};

// What an export reads from its grid. The grid implements it.
class ExportableGrid
{
public:
    virtual ~ExportableGrid() = default;

    virtual GridLook exportLook() const = 0;
    // The visible columns, in the order shown, at their shown widths.
    virtual std::vector<GridColumn> exportColumns() const = 0;
    // The rows; null when the grid has no data.
    virtual const GridSource *exportTable() const = 0;
    // The selected rows, in the order the user selected them.
    virtual std::vector<int> exportSelectedRows() const = 0;

    // Around the walk: the grid stops redrawing and keeps its current row
    // and top row, and shows them again afterwards.
    virtual void exportStarted() {}
    virtual void exportEnded() noexcept {}
};

// The export engine: makes the file, walks the grid's rows and calls the
// writing steps at fixed moments. Each file format is a class that fills in
// the steps.
//
// The file is written under a temporary name beside the target and takes the
// target's name only when it is complete: a failed export leaves whatever
// file had that name before, and no partial file. Errors raise UserError:
// "Cannot create file <name>" when the file cannot be made, "Stream write
// error" when writing it fails, and a message naming the file when the grid
// has no data (then no file is made at all).
class TGridExport
{
public:
    TGridExport(const QString &fileName, ExportableGrid &grid, bool saveAll);
    virtual ~TGridExport();
    TGridExport(const TGridExport &) = delete;
    TGridExport &operator=(const TGridExport &) = delete;

    // Writes the whole file; refuses a grid without data.
    void Execute();
    // The walk, onto an open device. A grid without data writes nothing.
    void SaveToStream(QIODevice &stream);

protected:
    // The writing steps, in the order of the walk.
    virtual void DoBeginWriting() {}
    virtual void DoWriteHeader() {}
    virtual void DoWriteRecord(int row) { Q_UNUSED(row) }
    virtual void DoWriteFooter() {}
    virtual void DoEndWriting() {}
    // Before the file is made: a format that cannot hold this many records
    // or columns refuses here, so that nothing is written.
    virtual void CheckSize(qsizetype records, qsizetype columns) const;

    // Appends bytes to the file.
    void Write(QByteArrayView bytes);
    // Appends bytes and a line end (CR LF).
    void WriteLn(QByteArrayView bytes = {});
    // A text in GB18030 bytes.
    // The encoder of the export files (GB18030).
    QStringEncoder &encoder() { return m_encoder; }
    QByteArray encoded(const QString &text);

    const GridLook &look() const { return m_look; }
    const std::vector<GridColumn> &columns() const { return m_columns; }
    const GridSource &table() const { return *m_table; }
    // The table's field of a visible column, -1 when it has none.
    int columnField(size_t column) const { return m_columnFields[column]; }
    // The table's cells of the record being written, in field order; valid
    // until the next record is read.
    const std::vector<GridSource::Cell> &readRecord(int row);

    // Rows written so far: 0 after DoBeginWriting, raised by one after each
    // record (a writer may raise it for rows of its own).
    int rowCounter = 0;

private:
    void takeGrid();
    qsizetype recordsToWrite() const;
    void flush();

    QString m_fileName;
    ExportableGrid &m_grid;
    bool m_saveAll;
    QIODevice *m_stream = nullptr;
    QByteArray m_buffer;
    QStringEncoder m_encoder;
    GridLook m_look;
    std::vector<GridColumn> m_columns;
    const GridSource *m_table = nullptr;
    std::vector<int> m_columnFields;
    std::vector<int> m_selected;
    // The rows' reader, for the time of a walk.
    std::unique_ptr<GridRowReader> m_reader;
};
