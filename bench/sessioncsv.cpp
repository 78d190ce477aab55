// The session's CSV steps: every book exported through "导出为CSV文件", then
// the same file imported on the command line (see sessionimport.cpp) and,
// below a million books, through "从CSV文件导入书籍", its duplicates included,
// so that every book is written once more; last the import window on a
// narrow and a wide file (see sessionwide.cpp).
#include "session.h"

#include "driver.h"
#include "probe.h"
#include "steps.h"

#include "catalogue/bookquery.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStatusBar>

namespace session {
namespace {

using driver::require;

// Where the imported books wait for their floor, once taken out of the
// catalogue again.
const QByteArray kHeld = "csv_floor";

void exportFile(Context &c, const QString &path)
{
    filedialog::setNextFileName(path);
    c.step("csv.export", [&] { driver::command("mfsavecsv")->trigger(); });
    c.expectShown("csv.export");
    const QString told = form_main->statusBar()->currentMessage();
    require(told.startsWith(QStringLiteral("已导出 %1 本书").arg(c.options.books)),
            "CSV export: not every book written (" + told.toStdString() + ")");
    c.note("csv.bytes", QString::number(QFile(path).size()));
}

void importFile(Context &c, const QString &path)
{
    const qint64 last = c.check->value("select max(book_id) from book").toLongLong();
    filedialog::setNextFileName(path);
    QElapsedTimer timer;
    double written = -1;
    // The list is filled again once the books are written.
    const QMetaObject::Connection refill =
        QObject::connect(form_main->listview_main->model(), &QAbstractItemModel::modelAboutToBeReset,
                         [&] { written = written < 0 ? probe::elapsedMs(timer) : written; });
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command("mfimportcsv")->trigger();
        },
        [&](QDialog *window) {
            probe::settle(window);
            c.record("csv.open", probe::elapsedMs(timer));
            c.expectShown("csv.open");
            // The file is the catalogue itself: every book is a duplicate.
            auto *check = driver::child<QCheckBox>(window, "check_duplicates");
            check->setChecked(true);
            probe::settle(window);
            auto *button = driver::child<QAbstractButton>(window, "button_import");
            require(button->text() == QStringLiteral("导入 %1 本书(&I)").arg(c.options.books),
                    "CSV import: not every book offered (" + button->text().toStdString() + ")");
            c.startStep();
            timer.restart();
            driver::clickButton(window, "button_import");
        });
    probe::settle(c.listViewport());
    c.record("csv.import", probe::elapsedMs(timer));
    QObject::disconnect(refill);
    require(written >= 0, "CSV import: the list was not filled again");
    c.record("csv.import.write", written);

    const QList<msg::Shown> shown = msg::takeShown();
    require(shown.size() == 1 && shown[0].text.contains(QStringLiteral("导入 %1 本书").arg(c.options.books)),
            "CSV import: no summary of every book");
    require(c.listRows() == 2 * c.options.books, "CSV import: the list does not show the books added");

    // The catalogue goes back to its books before the import, so that the
    // floors read what the steps read; the imported rows wait for their
    // own floor. The list shows the books before the import again.
    const QByteArray from = QByteArray::number(last);
    c.check->change("create table " + kHeld + " as select " + kImportedColumns + " from book where book_id > " + from);
    c.check->change("delete from book where book_id > " + from);
    form_main->fillBookList(BookQuery::all());
    probe::settle();
    require(c.listRows() == c.options.books, "CSV import: the list was not set back");
}

} // namespace

const QByteArray kImportedColumns =
    "book_name, book_cate, book_author, book_author2, book_language, book_isbn, book_pub, book_pubd, book_pages, "
    "book_buya, book_buyd, book_value, book_rating, book_loan, book_readed, book_reader, book_loand, book_note";

void csvSteps(Context &c)
{
    const QString path = QDir(c.options.folder).filePath(QStringLiteral("books.csv"));
    exportFile(c, path);
    commandLineImport(c, path);
    // The import window holds the file's text, judged, while it is open:
    // at a million books several hundred megabytes more than the program's
    // peak, so the window's import is taken below that only.
    if (c.options.books < steps::kLargeFrom)
        importFile(c, path);
    QFile::remove(path);
    importWindowWidths(c);
}

void csvFloors(Context &c)
{
    Floor floor(c.dataFile);
    const std::string bytes = c.run.note("csv.bytes");
    if (!bytes.empty())
        c.setFloor("csv.export", probe::timeMs([&] {
                       writeBytes(QDir(c.options.folder).filePath(QStringLiteral("floor.out")), std::stoll(bytes));
                   }));
    commandLineFloor(c);
    if (!c.run.find("csv.import"))
        return;
    // The same rows inserted through SQLite in one transaction.
    const Floor::Rows rows = floor.read("select " + kImportedColumns + " from " + kHeld);
    require(rows.count() == c.options.books, "CSV import floor: the imported rows are not all held");
    QByteArray marks = "?";
    for (int i = 1; i < rows.columns; ++i)
        marks += ", ?";
    const double insert = probe::timeMs(
        [&] { floor.insert("insert into book (" + kImportedColumns + ") values (" + marks + ")", rows); });
    c.setFloor("csv.import", insert);
    c.setFloor("csv.import.write", insert);
}

} // namespace session
