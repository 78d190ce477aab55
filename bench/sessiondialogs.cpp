// The session's second part: the three statistics, then the full list
// again and a book added, modified and deleted in it.
#include "session.h"

#include "driver.h"
#include "probe.h"

#include "components/messages.h"
#include "main/form_main.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTreeWidget>

namespace session {
namespace {

using driver::require;

// Opens the dialog by the command, times it until it is shown and painted,
// runs more inside it, and closes it when more leaves it open; returns once
// the main window's list is painted again.
void timedOpen(Context &c, const char *command, const std::string &id, const std::function<void(QDialog *)> &more)
{
    QElapsedTimer timer;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command(command)->trigger();
        },
        [&](QDialog *dialog) {
            probe::settle(dialog);
            c.record(id, probe::elapsedMs(timer));
            more(dialog);
        });
    probe::settle(c.listViewport());
}

void statistics(Context &c)
{
    const struct
    {
        const char *command;
        const char *id;
        const char *list;
    } windows[] = {
        {"msnumber", "tnumber", "listview_tnumber"},
        {"msjie", "tjie", "listview_tjie"},
        {"msmoney", "tmoney", "listview_tmoney"},
    };
    const QString books = QString::number(c.options.books);
    for (const auto &w : windows) {
        timedOpen(c, w.command, w.id, [&](QDialog *dialog) {
            auto *list = driver::child<QTreeWidget>(dialog, w.list);
            QStringList figures;
            for (int r = 0; r < list->topLevelItemCount(); ++r)
                figures << list->topLevelItem(r)->text(1);
            // Every statistic shows the number of all books, last or first.
            require(figures.contains(books), std::string(w.id) + ": the number of books is not shown");
            if (figures.size() <= 4)
                c.note(w.id, figures.join(QLatin1Char(' ')));
            driver::clickButton(dialog, "button_ok");
        });
        c.expectShown(w.id);
    }
}

void charts(Context &c)
{
    timedOpen(c, "mschart", "charts", [](QDialog *dialog) { driver::clickButton(dialog, "button_close"); });
    c.expectShown("charts");
}

void backToAll(Context &c)
{
    auto *tree = driver::child<QTreeWidget>(form_main, "treeview_main");
    QTreeWidgetItem *root = tree->topLevelItem(0);
    tree->scrollToItem(root);
    probe::settle();
    const QPoint at = tree->visualItemRect(root).center();
    c.step("all.again", [&] { driver::click(tree->viewport(), at); });
    c.expectShown("all.again");
    require(c.listRows() == c.options.books, "back to the full list: wrong number of rows");
}

void addBook(Context &c)
{
    const QString title = QStringLiteral("海边的灯塔与旧书店");
    const int before = c.listRows();
    QElapsedTimer timer;
    timedOpen(c, "meaddbook", "add.open", [&](QDialog *dialog) {
        driver::type(driver::child<QLineEdit>(dialog, "book_name"), title);
        auto *category = driver::child<QComboBox>(dialog, "book_cate");
        require(category->count() > 1, "add: the category list is empty");
        category->setCurrentIndex(1);
        driver::type(driver::child<QComboBox>(dialog, "book_author")->lineEdit(), QStringLiteral("林若水"));
        driver::type(driver::child<QLineEdit>(dialog, "book_value"), QStringLiteral("45.80"));
        c.startStep();
        timer.start();
        driver::clickButton(dialog, "button_add");
    });
    c.record("add", probe::elapsedMs(timer));
    c.expectShown("add");
    require(c.listRows() == before + 1 && c.cell(before, 0) == title, "add: the new book is not the list's last row");
    require(c.check->value("select count(*) from book where book_name=?", {title}).toInt() == 1,
            "add: the book is not in the data file");
}

void modifyBook(Context &c)
{
    const int row = 1;
    c.clickRow(row);
    const int numberColumn = c.column(QStringLiteral("编号"));
    const QString number = c.cell(row, numberColumn);
    const QString price = QStringLiteral("66.60");
    QElapsedTimer timer;
    timedOpen(c, "meeditbook", "mod.open", [&](QDialog *dialog) {
        auto *value = driver::child<QLineEdit>(dialog, "book_value");
        value->setFocus();
        value->selectAll();
        driver::type(value, price);
        c.startStep();
        timer.start();
        driver::clickButton(dialog, "button_add");
    });
    c.record("mod", probe::elapsedMs(timer));
    c.expectShown("mod");
    require(c.cell(row, c.column(QStringLiteral("价格"))) == price, "modify: the row does not show the new price");
    require(c.check->value("select book_value from book where book_id=?", {number.toLongLong()}) == price,
            "modify: the data file does not hold the new price");
    c.note("mod.book", number);
}

void deleteBook(Context &c)
{
    const int row = 3;
    c.clickRow(row);
    const QString number = c.cell(row, c.column(QStringLiteral("编号")));
    const int before = c.listRows();
    msg::setNextAnswer(true);
    c.step("del", [] { driver::command("medelbook")->trigger(); });
    c.expectShown("del", 1);
    require(c.listRows() == before - 1, "delete: the row is still in the list");
    require(c.check->value("select count(*) from book where book_id=?", {number.toLongLong()}).toInt() == 0,
            "delete: the book is still in the data file");
}

} // namespace

void dialogSteps(Context &c)
{
    statistics(c);
    charts(c);
    backToAll(c);
    addBook(c);
    modifyBook(c);
    deleteBook(c);
}

} // namespace session
