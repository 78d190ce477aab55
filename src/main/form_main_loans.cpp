// The main window's loan overview, and the book list following what the
// overview changed.
#include "form_main.h"

#include "catalogue/bookquery.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "stats/form_loans.h"

#include <QAction>
#include <QTreeWidget>

void MainWindow::wireLoanCommands()
{
    guard::connect(action("msloans"), &QAction::triggered, this, &MainWindow::showLoanOverview);
}

void MainWindow::showLoanOverview()
{
    // Made for each use: it reads the books out and in afresh anyway.
    LoanOverviewDialog window(this);
    window.setCatalogue(m_catalogue);
    window.setCatalogueView(this);
    window.showModal();
}

void MainWindow::bookStored(const QString &number)
{
    const int row = listview_main->model()->rowOfNumber(number);
    if (row < 0)
        return;
    listview_main->model()->setBook(row, storedBookRow(number));
}

void MainWindow::bookDeleted(const QString &number)
{
    const int row = listview_main->model()->rowOfNumber(number);
    if (row >= 0)
        listview_main->model()->removeBookRow(row);
}

void MainWindow::openBook(const QString &number)
{
    int row = listview_main->model()->rowOfNumber(number);
    if (row < 0) {
        // Not among the books shown: every book is shown, as a click on the
        // tree's root does.
        treeview_main->setCurrentItem(treeview_main->topLevelItem(0));
        fillBookList(BookQuery::all());
        row = listview_main->model()->rowOfNumber(number);
    }
    if (row < 0) {
        msg::plain(this, QStringLiteral("编号为 %1 的书籍已不在数据文件中。").arg(number));
        return;
    }
    listview_main->selectRow(row);
    editSelectedBook();
}
