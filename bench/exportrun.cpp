#include "exportrun.h"

#include "floor.h"
#include "report.h"

#include "components/exportgrid.h"
#include "components/messages.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"
#include "formats/gridexportexcel.h"

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace exportrun {
namespace {

void require(bool ok, const std::string &what)
{
    if (!ok)
        throw std::runtime_error(what);
}

void requireNothingShown(const char *step)
{
    const QList<msg::Shown> shown = msg::takeShown();
    if (!shown.isEmpty())
        throw std::runtime_error(std::string(step) + ": the program showed \"" + shown.first().text.toStdString() +
                                 "\"");
}

// The record lines of a page, read line by line: a page of 100,000 books is
// far larger than the program's memory.
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

// The end of a file.
QByteArray fileEnd(const QString &path, qint64 bytes)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly) && file.seek(std::max<qint64>(0, file.size() - bytes)),
            "cannot read " + path.toStdString());
    return file.readAll();
}

// The floor of an export: the same number of bytes written to a new file
// in blocks of 64 KiB, as the export hands them over, and brought to the
// disk, as the export's save file does before it takes its name.
double writeFloorMs(const QString &path, qint64 bytes)
{
    const std::vector<char> block(64 * 1024, 'x');
    const QByteArray name = QFile::encodeName(path);
    const double ms = report::timeMs([&] {
        std::FILE *out = std::fopen(name.constData(), "wb");
        require(out != nullptr, "cannot write " + path.toStdString());
        bool written = true;
        for (qint64 left = bytes; left > 0 && written;) {
            const size_t piece = size_t(std::min<qint64>(left, qint64(block.size())));
            written = std::fwrite(block.data(), 1, piece, out) == piece;
            left -= qint64(piece);
        }
        written = written && std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
        std::fclose(out);
        require(written, "cannot write " + path.toStdString());
    });
    QFile::remove(path);
    return ms;
}

void clickClose(QWidget *dialog)
{
    auto *button = dialog->findChild<QPushButton *>(QStringLiteral("button_close"));
    require(button != nullptr, "the export dialog has no button_close");
    button->click();
}

} // namespace

Figures measure(Floor &floor, const QString &outFolder, int books, int runs)
{
    Figures figures;
    const QString page = outFolder + QStringLiteral("/bench.html");
    const QString sheet = outFolder + QStringLiteral("/bench.xls");

    // Opening the dialog: its show event takes the snapshot. Leaving it
    // through "取消" lets the snapshot go again.
    {
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            floors.push_back(report::timeMs([&] { floor.readAll("select * from book"); }));
            times.push_back(report::timeMs([] { form_savehtml->show(); }));
            requireNothingShown("open the export dialog");
            require(form_savehtml->gird_html->model()->rowCount() == books, "export dialog: wrong number of rows");
            clickClose(form_savehtml);
            QCoreApplication::processEvents();
        }
        figures.openMs = report::best(times);
        figures.openFloorMs = report::best(floors);
    }

    // Both dialogs open, as the user sees them before saving.
    form_savehtml->show();
    form_saveexcel->show();
    QCoreApplication::processEvents();
    requireNothingShown("open both export dialogs");
    figures.gridResidentMb = report::currentMemoryMb();

    // The page of every book.
    {
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            times.push_back(report::timeMs([&] { form_savehtml->gird_html->SaveToHTML(page, true); }));
            requireNothingShown("HTML export");
            figures.htmlBytes = QFile(page).size();
            floors.push_back(writeFloorMs(outFolder + QStringLiteral("/floor.html"), figures.htmlBytes));
        }
        require(countRecordLines(page) == books, "HTML export: wrong number of rows");
        QFile::remove(page);
        figures.htmlMs = report::best(times);
        figures.htmlFloorMs = report::best(floors);
        figures.htmlBooks = books;
    }

    // The worksheet of as many books as it holds: with more books than
    // that, the first 65,535 rows selected and the selection written.
    {
        ExportGrid *grid = form_saveexcel->gird_excel;
        const int rows = int(std::min<qsizetype>(books, TGridExportExcel::kMaxRecords));
        const bool all = rows == books;
        if (!all) {
            const QModelIndex first = grid->model()->index(0, 0);
            const QModelIndex last = grid->model()->index(rows - 1, ExportGrid::kColumnCount - 1);
            grid->selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
        }
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            times.push_back(report::timeMs([&] { grid->SaveToXLS(sheet, all); }));
            requireNothingShown("Excel export");
            figures.excelBytes = QFile(sheet).size();
            floors.push_back(writeFloorMs(outFolder + QStringLiteral("/floor.xls"), figures.excelBytes));
        }
        require(fileEnd(sheet, 4) == QByteArray::fromHex("0A000000") && figures.excelBytes > qint64(rows) * 15 * 12,
                "Excel export: the worksheet is incomplete");
        QFile::remove(sheet);
        grid->clearSelection();
        figures.excelMs = report::best(times);
        figures.excelFloorMs = report::best(floors);
        figures.excelBooks = rows;
    }

    clickClose(form_saveexcel);
    clickClose(form_savehtml);
    QCoreApplication::processEvents();
    return figures;
}

} // namespace exportrun
