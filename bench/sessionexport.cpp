// The session's last part: the two export dialogs, each showing every book
// in its grid, and the files they write.
#include "session.h"

#include "driver.h"
#include "probe.h"

#include "components/exportgrid.h"
#include "components/filedialog.h"
#include "main/form_main.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>

#include <algorithm>

namespace session {
namespace {

using driver::require;

// A worksheet holds at most this many books.
constexpr int kSheetRows = 65535;

// The record lines of a page, read line by line: a page of a million books
// is far larger than the program's memory.
int countRecordLines(const QString &path)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly), "cannot read " + path.toStdString());
    int lines = 0;
    while (!file.atEnd())
        if (file.readLine().startsWith("<TR><TD NOWRAP ALIGN="))
            ++lines;
    return lines;
}

// A worksheet that ends with its end-of-file record.
bool endsAsWorksheet(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() > 4 && file.seek(file.size() - 4) &&
           file.readAll() == QByteArray::fromHex("0A000000");
}

void noteFile(Context &c, const std::string &id, const QString &path)
{
    c.note(id + ".bytes", QString::number(QFile(path).size()));
}

void html(Context &c)
{
    const QString page = QDir(c.options.folder).filePath(QStringLiteral("books.html"));
    filedialog::setNextFileName(page);
    QElapsedTimer timer;
    int rows = 0;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command("mfsavehtml")->trigger();
        },
        [&](QDialog *dialog) {
            probe::settle(dialog);
            c.record("html.open", probe::elapsedMs(timer));
            rows = driver::child<ExportGrid>(dialog, "gird_html")->model()->rowCount();
            c.startStep();
            timer.restart();
            driver::clickButton(dialog, "button_ok");
            probe::settle(dialog);
            c.record("html", probe::elapsedMs(timer));
            driver::clickButton(dialog, "button_close");
        });
    probe::settle();
    c.expectShown("html");
    require(rows == c.options.books, "export: the grid does not hold every book");
    require(countRecordLines(page) == rows, "HTML export: the page does not hold every book");
    noteFile(c, "html", page);
    QFile::remove(page);
}

void excel(Context &c)
{
    const QString sheet = QDir(c.options.folder).filePath(QStringLiteral("books.xls"));
    const QString part = QDir(c.options.folder).filePath(QStringLiteral("part.xls"));
    const bool fits = c.options.books <= kSheetRows;
    // With more books than a sheet holds, 保存 refuses before the file box.
    if (fits)
        filedialog::setNextFileName(sheet);
    QElapsedTimer timer;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command("mfsaveexcel")->trigger();
        },
        [&](QDialog *dialog) {
            probe::settle(dialog);
            c.record("excel.open", probe::elapsedMs(timer));
            c.startStep();
            timer.restart();
            driver::clickButton(dialog, "button_ok");
            probe::settle(dialog);
            c.record("excel", probe::elapsedMs(timer));
            c.expectShown("excel", 0, fits ? 0 : 1);
            if (!fits) {
                // What the grid itself can write: the first rows selected,
                // the selection saved.
                auto *grid = driver::child<ExportGrid>(dialog, "gird_excel");
                const QAbstractItemModel *model = grid->model();
                grid->selectionModel()->select(
                    QItemSelection(model->index(0, 0), model->index(kSheetRows - 1, model->columnCount() - 1)),
                    QItemSelectionModel::ClearAndSelect);
                probe::settle();
                c.startStep();
                timer.restart();
                grid->SaveToXLS(part, false);
                probe::settle(dialog);
                c.record("excel.part", probe::elapsedMs(timer));
            }
            driver::clickButton(dialog, "button_close");
        });
    probe::settle();
    c.expectShown("excel.close");
    const QString written = fits ? sheet : part;
    require(endsAsWorksheet(written), "Excel export: the worksheet is incomplete");
    noteFile(c, fits ? "excel" : "excel.part", written);
    QFile::remove(written);
}

} // namespace

void exportSteps(Context &c)
{
    html(c);
    excel(c);
}

} // namespace session
