// The main window's CSV commands: every book out to a file, books in from one.
#include "form_main.h"

#include "catalogue/bookquery.h"
#include "components/guard.h"
#include "transfer/csvtransfer.h"

#include <QAction>
#include <QDir>
#include <QStatusBar>

void MainWindow::wireCsvCommands()
{
    guard::connect(action("mfsavecsv"), &QAction::triggered, this, &MainWindow::exportCsv);
    guard::connect(action("mfimportcsv"), &QAction::triggered, this, &MainWindow::importCsv);
}

void MainWindow::exportCsv()
{
    const csvtransfer::Exported exported = csvtransfer::exportBooks(this, *m_catalogue);
    if (exported.path.isEmpty())
        return;
    if (exported.books < 0)
        statusBar()->showMessage(QStringLiteral("导出已取消，没有写出文件。"), 15000);
    else
        statusBar()->showMessage(
            QStringLiteral("已导出 %1 本书到 %2").arg(exported.books).arg(QDir::toNativeSeparators(exported.path)),
            15000);
}

void MainWindow::importCsv()
{
    csvtransfer::importBooks(this, *m_catalogue);
}

// Many books at once were added (the catalogue's booksReplaced).
void MainWindow::booksImported()
{
    fillTree();
    fillBookList(BookQuery::all());
}
