#pragma once

#include <QStackedWidget>

#include "store/bookrow.h"

#include <array>

class BookListModel;
class QAbstractItemView;
class QListView;
class QTableView;
class QItemSelectionModel;

// The book list: one model shown by a report view (one line per book with
// its columns) or an icon view (large icons, small icons, list), sharing one
// selection of at most one whole row. The report view is a table without
// grid lines or row headers, all its rows one height: a book added or
// removed costs the same at a million books as at ten (a tree view lays all
// its rows out again for each). Sorting by a column header follows the
// list's own sort state: the first click on a column sorts it descending,
// the next ascending, each column alternating on its own.
class BookListView : public QStackedWidget
{
    Q_OBJECT

public:
    enum class ViewStyle { LargeIcons, SmallIcons, List, Report };

    explicit BookListView(QWidget *parent = nullptr);

    BookListModel *model() const { return m_model; }
    QTableView *reportView() const { return m_report; }
    QListView *iconView() const { return m_icons; }
    QAbstractItemView *currentView() const;

    void setViewStyle(ViewStyle style);
    ViewStyle viewStyle() const { return m_style; }

    // The selected row, or -1 when none is selected.
    int selectedRow() const;
    void selectRow(int row);

    // Sorts by the column as a click on its header does.
    void columnClick(int column);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending(int column) const { return m_sortAscending.at(size_t(column)); }

Q_SIGNALS:
    // A double click on the list, or Enter pressed in it.
    void doubleClicked();
    void enterPressed();
    void contextMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setupView(QAbstractItemView *view);
    // The report's rows as high as a row of text beside a small icon.
    void fitRowHeight();

    BookListModel *m_model;
    QTableView *m_report;
    QListView *m_icons;
    ViewStyle m_style = ViewStyle::Report;
    int m_sortColumn = 0;
    std::array<bool, bookrow::kColumnCount> m_sortAscending{};
};
