// The session's first part: the start, the category tree, sorting by a
// column header, and the search.
#include "session.h"

#include "driver.h"
#include "probe.h"

#include "app/windows.h"
#include "main/form_main.h"
#include "store/textorder.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>

namespace session {
namespace {

using driver::require;

// The search word: a word of many titles, as a user looks for a theme.
const QString kWord = QStringLiteral("灯塔");

void start(Context &c)
{
    // The windows are made as at start: the main window fills its tree and
    // its list with every book. Then the login box, answered at once (the
    // catalogue has no password), and the main window maximised and painted.
    c.note("memory.before", QString::number(probe::residentMb(), 'f', 1));
    c.startStep();
    QElapsedTimer timer;
    timer.start();
    c.catalogue = std::make_unique<Catalogue>(c.dataFile);
    // As the program's start-up: the indexes are there already (see seed).
    c.catalogue->prepareIndexes();
    windows::createAll(*c.catalogue);
    c.record("start.windows", probe::elapsedMs(timer));
    c.expectShown("start");

    double toLogin = 0;
    bool loggedIn = false;
    driver::withModal([&] { loggedIn = form_main->logIn(); },
                      [&](QDialog *login) {
                          probe::settle(login);
                          toLogin = probe::elapsedMs(timer);
                          driver::clickButton(login, "button_ok");
                          timer.restart();
                      });
    probe::settle(form_main);
    c.record("start", toLogin + probe::elapsedMs(timer));
    c.expectShown("start");
    require(loggedIn && form_main->isVisible(), "start: the main window is not shown");
    require(c.listRows() == c.options.books, "start: the list does not hold every book");
    c.note("window", QStringLiteral("%1 x %2").arg(form_main->width()).arg(form_main->height()));
    c.check.emplace(c.dataFile);

    // What the repaint that ends every step costs on its own: the allowance
    // for painting that the book commands are judged with.
    c.step("paint", [] {});
}

void tree(Context &c)
{
    auto *tree = driver::child<QTreeWidget>(form_main, "treeview_main");
    QTreeWidgetItem *root = tree->topLevelItem(0);
    require(root && root->childCount() > 2, "the tree does not show the categories");
    QTreeWidgetItem *node = root->child(2);
    tree->scrollToItem(node);
    probe::settle();
    const QString name = node->text(0);
    const QPoint at = tree->visualItemRect(node).center();
    c.step("category", [&] { driver::click(tree->viewport(), at); });
    c.expectShown("category");
    const int rows = c.check->value("select count(*) from book where book_cate=?", {name}).toInt();
    require(c.listRows() == rows && rows > 0, "category click: wrong number of rows");
    c.note("category", QStringLiteral("%1 (%2 books)").arg(name).arg(rows));
    c.note("category.name", name);

    tree->scrollToItem(root);
    probe::settle();
    const QPoint atRoot = tree->visualItemRect(root).center();
    c.step("all", [&] { driver::click(tree->viewport(), atRoot); });
    c.expectShown("all");
    require(c.listRows() == c.options.books, "back to the full list: wrong number of rows");
}

// The list sorted by the column, checked on rows spread over the list.
void requireSorted(const Context &c, int column)
{
    const int rows = c.listRows();
    const int stride = std::max(1, rows / 2000);
    int ascending = 0, descending = 0;
    QString previous = c.cell(0, column);
    for (int r = stride; r < rows; r += stride) {
        const QString text = c.cell(r, column);
        const int order = textorder::compare(previous, text);
        ascending += order < 0;
        descending += order > 0;
        previous = text;
    }
    require(ascending == 0 || descending == 0, "the list is not sorted by its column " + std::to_string(column));
}

void sorts(Context &c)
{
    QTableView *view = c.listView();
    QHeaderView *header = view->horizontalHeader();
    const struct
    {
        const char *id;
        const char16_t *caption;
    } clicks[] = {{"sort.title", u"书名"}, {"sort.price", u"价格"}, {"sort.date", u"购买日期"}};
    for (const auto &k : clicks) {
        const int column = c.column(QString::fromUtf16(k.caption));
        // Scrolled sideways until the header shows the column, not timed.
        view->horizontalScrollBar()->setValue(header->sectionPosition(column));
        probe::settle();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        c.step(k.id, [&] { driver::click(header->viewport(), at); });
        c.expectShown(k.id);
        require(c.listRows() == c.options.books, "sort: wrong number of rows");
        requireSorted(c, column);
        view->horizontalScrollBar()->setValue(0);
        probe::settle();
    }
}

void search(Context &c)
{
    QElapsedTimer timer;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command("mtfind")->trigger();
        },
        [&](QDialog *find) {
            probe::settle(find);
            c.record("find.open", probe::elapsedMs(timer));
            driver::type(driver::child<QLineEdit>(find, "edit_find"), kWord);
            c.startStep();
            timer.restart();
            driver::clickButton(find, "button_ok");
        });
    probe::settle(c.listViewport());
    c.record("find", probe::elapsedMs(timer));
    c.expectShown("find");
    const QString pattern = QLatin1Char('%') + kWord + QLatin1Char('%');
    const int rows = c.check->value("select count(*) from book where book_name like ?", {pattern}).toInt();
    require(c.listRows() == rows && rows > 0, "search: wrong number of rows");
    c.note("find", QStringLiteral("%1 (%2 books)").arg(kWord).arg(rows));
    c.note("find.pattern", pattern);
}

} // namespace

void startSteps(Context &c)
{
    start(c);
}

void listSteps(Context &c)
{
    tree(c);
    sorts(c);
    search(c);
}

} // namespace session
