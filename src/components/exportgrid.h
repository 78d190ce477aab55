#pragma once

#include "formats/gridexport.h"
#include "formats/gridstoredtable.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QTableView>

#include <exception>
#include <memory>
#include <utility>

class Catalogue;
class QHeaderView;

// The model under the export grid: the rows of the book table, with the
// grid's fifteen columns over them. Read-only.
//
// A cell's text is read from its table when shown. When the table cannot
// read it, the cell shows empty and readFailed() is emitted once the event
// that asked for the cell (a paint, as a rule) is done; no exception leaves
// the model.
class ExportGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ExportGridModel(QObject *parent = nullptr);

    // The shown table; null for none. Not owned.
    void setTable(const GridSource *table);
    const GridSource *table() const { return m_table; }
    // Every cell may have changed: the view asks for them again.
    void refresh();
    // The table's field of a column, -1 when the table has none.
    int columnField(int column) const;
    bool isNumeric(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The failure that readFailed() told of; a later one is told again.
    std::exception_ptr takeReadFailure() { return std::exchange(m_failure, nullptr); }

Q_SIGNALS:
    void readFailed();

private:
    QString cellText(int row, int field) const;

    const GridSource *m_table = nullptr;
    std::vector<int> m_fields;
    // The first failure not yet taken; the failures after it until then
    // are not told.
    mutable std::exception_ptr m_failure;
};

// The read-only grid of the export dialogs: the rows of the book table that
// were there when the grid was opened, in their order then, in fifteen
// columns; their values are read from the data file when shown or written
// (see StoredGridTable), and a book removed since shows as an empty row. A
// failure to read the rows for the screen is shown in the error box. The
// grid reads through the catalogue it was opened on: close it before the
// catalogue goes. The user can drag a
// header to move its column and drag a header's edge to change its width;
// columns cannot be hidden. The exports write the columns in the order and
// at the widths shown.
class ExportGrid : public QTableView, public ExportableGrid
{
    Q_OBJECT

public:
    explicit ExportGrid(QWidget *parent = nullptr);
    ~ExportGrid() override;

    static constexpr int kColumnCount = 15;
    // The field and the caption of a column (by its place at start).
    static QString fieldName(int column);
    static QString caption(int column);
    // Every column's field, by place at start.
    static QStringList fieldNames();
    // The column's component name: the grid's name and the field, e.g.
    // "gird_excelbook_id".
    QString columnName(int column) const;

    // Takes the catalogue's books in the store's order. When the grid
    // already holds rows, it keeps them and only reads their values afresh.
    void open(const Catalogue &catalogue);
    // Shows these rows (their fields those of fieldNames()) instead of any
    // it held.
    void setRows(std::unique_ptr<StoredGridTable> rows);
    bool isActive() const { return m_table != nullptr; }
    // Lets the rows go; the grid is empty.
    void close();

    ExportGridModel *model() const { return m_model; }
    // How many records an export writes: every row, or with saveAll cleared
    // the selected rows when there are any.
    qsizetype exportRecordCount(bool saveAll) const;

    // The exports; errors pass on as UserError.
    void SaveToHTML(const QString &fileName, bool saveAll);
    void SaveToXLS(const QString &fileName, bool saveAll);

    // The grid's settings (its Name, Color, Font, HeaderColor, HeaderFont,
    // BandColor, BandFont and the rest), the desktop's colours taken from
    // the application palette at the moment of asking.
    GridLook exportLook() const override;
    std::vector<GridColumn> exportColumns() const override;
    const GridSource *exportTable() const override { return m_table.get(); }
    std::vector<int> exportSelectedRows() const override;
    void exportStarted() override;
    void exportEnded() noexcept override;

private:
    int defaultWidth(int column) const;
    void setUpRows(QHeaderView *rows) const;

    ExportGridModel *m_model;
    std::unique_ptr<StoredGridTable> m_table;
    QFont m_font;
    int m_savedTop = 0;
    QModelIndex m_savedCurrent;
};
