#pragma once

#include "catalogue/bookquery.h"
#include "commands.h"
#include "components/catalogueview.h"
#include "store/packedrows.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class BookListView;
class Catalogue;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class MainWindow;
}

// The main window: the category bar with its tree on the left, the book list
// on the right, the menu bar and the six toolbars above them. The dialogs
// that change what it shows tell it through the catalogue view it hands
// them, and it changes its own list and tree.
class MainWindow : public QMainWindow, public CatalogueView
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The catalogue the window shows, handed in at start before
    // fillAtStart(). The list and the tree follow what it announces; the
    // caption names its file when it is not the data file beside the
    // program.
    void setCatalogue(Catalogue *catalogue);
    // The caption for a catalogue: the program's title alone for the data
    // file beside the program, else the file's name and folder before it.
    static QString captionFor(const QString &dataFile);

    // Run once right after the window is made: enters the program folder,
    // fills the tree, then the list with every book.
    void fillAtStart();

    // The login at start. Shows the main window maximised and returns true
    // when the user is let in; false when the program ends.
    bool logIn();

    // The controls the other windows use.
    BookListView *listview_main = nullptr;
    QTreeWidget *treeview_main = nullptr;
    QAction *action(const char *name) const;
    QMenu *popmenu_cate() const { return m_commands.popmenuCate; }
    QMenu *popmenu_booklist() const { return m_commands.popmenuBooklist; }

    // Empties the list and fills it with the books the query selects; rows
    // read before an error stay. Returns how many books the list shows.
    int fillBookList(const BookQuery &query);
    // The book number (column 16) of the selected row; "" when no row is
    // selected or the row has no number.
    QString selectedBookNumber() const override;
    QString selectedCategory() const;
    void bookAdded(const QString &number);
    void bookChanged(const QString &number);
    void categoryAdded(const QString &name);
    void categoryRenamed(const QString &oldName, const QString &newName);
    int listBooks(const BookQuery &query) override;
    void booksImported();
    void bookStored(const QString &number);
    void bookDeleted(const QString &number);
    void openBook(const QString &number) override;

    // Handlers. The commands of each area are wired by its own wiring
    // function, next to their handlers.
    void quit();
    // The book commands; each asks for a selected book where it needs one.
    void addNewBook();
    void editSelectedBook();
    void deleteSelectedBook();
    // The selected book's details, read-only (a double click, Enter, or the
    // list's pop-up menu); nothing when no book is selected.
    void showBookDetails();
    // The category commands on the tree's selected node.
    void renameSelectedCategory();
    void deleteSelectedCategory();
    // A click on the tree: the root lists every book, a category its books.
    void listSelectedCategory();
    // The book list's four views.
    void viewLargeIcons();
    void viewSmallIcons();
    void viewList();
    void viewReport();
    // The category bar: the menu item shows or hides it, its close button
    // hides it.
    void toggleCategoryBar();
    void hideCategoryBar();
    void showAbout();
    // Categories, reference lists, statistics and search.
    void addNewCategory();
    void showReaderList();
    void showAuthorList();
    void showPublisherList();
    void showCountStatistics();
    void showMoneyStatistics();
    void showLoanStatistics();
    void findBooks();
    // Export.
    void saveAsExcel();
    void saveAsHtml();
    // CSV files: every book out, books in.
    void exportCsv();
    void importCsv();
    void showLoanOverview();
    void showCharts();
    // The data file, help and password. Restoring a backup starts the
    // restore program and closes this window.
    void restoreBackup();
    void backUpCatalogue();
    void showHelp();
    void showHomePage();
    void changePassword();

    // The bars cannot be hidden or customised: no pop-up menu of bars.
    QMenu *createPopupMenu() override { return nullptr; }

    // The data file was replaced under the program (see
    // Catalogue::isReplacedOutside): asks whether to read the new one, and
    // does on yes (the login again when it has a password). No: asked again
    // when a change is refused for it.
    void offerReload();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Coming back to the window, the user may have replaced the file meanwhile.
    void changeEvent(QEvent *event) override;

private:
    // The list following the catalogue: a book stored goes at the end, a
    // changed one is shown as stored where the list shows it, a deleted one
    // loses its row; never a refill.
    void showAddedBook(qint64 id);
    void showChangedBook(qint64 id);
    void dropRemovedBook(qint64 id);
    void fillTree();
    // The tree following the catalogue: on each change of the categories
    // one node is added, renamed or removed, the selection kept; never a
    // refill.
    void followCategories();
    void showCategories();
    // The book's list row as stored (see Catalogue::readBookRow); throws
    // UserError when it is gone.
    PackedRows storedBookRow(const QString &number) const;
    // The level of the tree's selected node: 0 the root, 1 a category,
    // -1 when nothing is selected.
    int selectedTreeLevel() const;
    void wireCommands();
    void wireBookCommands();
    void wireListCommands();
    void wireExportCommands();
    void wireCsvCommands();
    void wireLoanCommands();
    void wireChartCommands();
    void wireFileCommands();
    void showCategoryBar(bool shown);
    // The status bar's count and the start page, after every change of the
    // list's rows.
    void showListState();
    // Whether the catalogue holds no book; false when it cannot be read
    // (the error is told where the reading failed).
    bool catalogueIsEmpty() const;

    Catalogue *m_catalogue = nullptr;
    QLabel *m_countPanel = nullptr;
    QWidget *m_startPage = nullptr;
    BookQuery::Kind m_listKind = BookQuery::Kind::All; // of the list's last fill
    bool m_askingReload = false;                       // the question is shown
    bool m_reloadDeclined = false;                     // answered no, until a change is refused
    std::unique_ptr<Ui::MainWindow> ui;
    Commands m_commands;
    QList<int> m_splitterSizes;
};

extern MainWindow *form_main;
