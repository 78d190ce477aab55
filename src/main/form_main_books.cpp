// The main window's book list: filling it, the book commands.
#include "form_main.h"

#include "books/form_addbook.h"
#include "books/form_bookbase.h"
#include "books/form_modbook.h"
#include "catalogue/bookquery.h"
#include "catalogue/catalogue.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "store/bookrow.h"
#include "store/sqlquote.h"
#include "store/usererror.h"

#include <QAction>
#include <QMenu>

void MainWindow::wireBookCommands()
{
    guard::connect(action("meaddbook"), &QAction::triggered, this, &MainWindow::addNewBook);
    guard::connect(action("meeditbook"), &QAction::triggered, this, &MainWindow::editSelectedBook);
    QAction *view = popmenu_booklist()->findChild<QAction *>(QStringLiteral("N6"));
    guard::connect(view, &QAction::triggered, this, &MainWindow::showBookDetails);
    guard::connect(listview_main, &BookListView::doubleClicked, this, &MainWindow::showBookDetails);
    guard::connect(listview_main, &BookListView::enterPressed, this, &MainWindow::showBookDetails);
    // Delete deletes a book only where the books are: in the list, not in
    // the tree or elsewhere in the window.
    QAction *remove = action("medelbook");
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    listview_main->addAction(remove);
}

void MainWindow::setCatalogue(Catalogue *catalogue)
{
    if (m_catalogue)
        disconnect(m_catalogue, nullptr, this, nullptr);
    m_catalogue = catalogue;
    if (!catalogue)
        return;
    setWindowTitle(captionFor(catalogue->path()));
    connect(catalogue, &Catalogue::bookAdded, this, &MainWindow::showAddedBook);
    connect(catalogue, &Catalogue::bookChanged, this, &MainWindow::showChangedBook);
    connect(catalogue, &Catalogue::bookRemoved, this, &MainWindow::dropRemovedBook);
    connect(catalogue, &Catalogue::booksReplaced, this, [this] { guard::run(this, [this] { booksImported(); }); });
    // A change refused for a replaced file: asked once the refusal is shown.
    connect(
        catalogue, &Catalogue::replacedOutside, this,
        [this] {
            m_reloadDeclined = false;
            guard::run(this, [this] { offerReload(); });
        },
        Qt::QueuedConnection);
    followCategories();
    showListState();
}

// Each runs inside the guard: what went wrong in following a change is shown
// and does not reach the operation that made it.
void MainWindow::showAddedBook(qint64 id)
{
    guard::run(this, [&] { bookAdded(QString::number(id)); });
}

void MainWindow::showChangedBook(qint64 id)
{
    guard::run(this, [&] {
        const QString number = QString::number(id);
        // The selected row first: the book changed is most often the one
        // the user picked.
        if (selectedBookNumber() == number)
            bookChanged(number);
        else
            bookStored(number);
    });
}

void MainWindow::dropRemovedBook(qint64 id)
{
    guard::run(this, [&] { bookDeleted(QString::number(id)); });
}

int MainWindow::fillBookList(const BookQuery &query)
{
    m_listKind = query.kind;
    {
        // The list is emptied first; rows read before an error stay in it.
        BookListModel::Fill fill(*listview_main->model());
        fill.addBooks(*m_catalogue, query);
    }
    return listview_main->model()->rowCount();
}

int MainWindow::listBooks(const BookQuery &query)
{
    return fillBookList(query);
}

PackedRows MainWindow::storedBookRow(const QString &number) const
{
    PackedRows row;
    if (!m_catalogue->readBookRow(sqlquote::checkedNumber(number), row))
        throw UserError(QStringLiteral("编号为 %1 的书籍已不在数据文件中。").arg(number));
    return row;
}

void MainWindow::bookAdded(const QString &number)
{
    listview_main->model()->appendBook(storedBookRow(number));
}

void MainWindow::bookChanged(const QString &number)
{
    const int row = listview_main->selectedRow();
    if (row < 0)
        return;
    listview_main->model()->setBook(row, storedBookRow(number));
}

QString MainWindow::selectedBookNumber() const
{
    const int row = listview_main->selectedRow();
    if (row < 0)
        return QString();
    return listview_main->model()->cell(row, bookrow::Number);
}

void MainWindow::addNewBook()
{
    form_addbook->showModal();
}

void MainWindow::editSelectedBook()
{
    if (listview_main->selectedRow() < 0) {
        msg::plain(this, QStringLiteral("请在列表中选择一本需要修改的书籍"));
        return;
    }
    form_modbook->showModal();
}

void MainWindow::showBookDetails()
{
    if (listview_main->selectedRow() >= 0)
        form_bookbase->showModal();
}

void MainWindow::deleteSelectedBook()
{
    const int row = listview_main->selectedRow();
    if (row < 0) {
        msg::plain(this, QStringLiteral("请选择一本需要删除的书籍"));
        return;
    }
    if (!msg::question(this, QStringLiteral("真的要删除这本书么？")))
        return;
    const QString number = listview_main->model()->cell(row, bookrow::Number);
    if (number.isEmpty()) {
        // Only a row built from a damaged record lacks its number.
        msg::plain(this, QStringLiteral("这一行没有书籍编号，无法找到要删除的书籍。"));
        return;
    }
    // A book already gone from the file only loses its row: the catalogue
    // announces it either way.
    m_catalogue->removeBook(sqlquote::checkedNumber(number));
}
