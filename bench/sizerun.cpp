#include "sizerun.h"

#include "exportrun.h"
#include "floor.h"
#include "report.h"
#include "seed.h"

#include "store/programfolder.h"
#include "app/windows.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/bookrow.h"
#include "store/dataset.h"
#include "store/textorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sizerun {
namespace {

const QString kAllBooks = QStringLiteral("select * from book");

void require(bool ok, const std::string &what)
{
    if (!ok)
        throw std::runtime_error(what);
}

// The program must not have shown anything (an error box in particular)
// while the step ran; questions are expected only where a step asks one.
void requireShown(const char *step, int questions)
{
    const QList<msg::Shown> shown = msg::takeShown();
    int asked = 0;
    for (const msg::Shown &s : shown) {
        if (s.kind != msg::Kind::Question)
            throw std::runtime_error(std::string(step) + ": the program showed \"" + s.text.toStdString() + "\"");
        ++asked;
    }
    require(asked == questions, std::string(step) + ": unexpected number of questions asked");
}

void requireSorted(const BookListModel &model, int column, bool ascending)
{
    for (int r = 1; r < model.rowCount(); ++r) {
        const int c = textorder::compare(model.cell(r - 1, column), model.cell(r, column));
        require(ascending ? c <= 0 : c >= 0, "the list is not sorted by column " + std::to_string(column));
    }
}

BookListModel &listModel()
{
    return *form_main->listview_main->model();
}

void fillAll()
{
    form_main->fillBookList(kAllBooks);
}

// The lines of one size, printed together at the end.
class Lines
{
public:
    explicit Lines(int books)
        : m_books(books)
    {}

    void add(const std::string &operation, double ms, std::optional<double> floorMs,
             report::Target target = report::Target::None)
    {
        addFor(m_books, operation, ms, floorMs, target);
    }
    // A line about another number of books than the size's.
    void addFor(int books, const std::string &operation, double ms, std::optional<double> floorMs,
                report::Target target = report::Target::None)
    {
        m_print.push_back([=] { report::printLine({operation, books, ms, floorMs, target}); });
    }
    // A line whose time is measured later, before the lines are printed.
    void addLater(const std::string &operation, const double &ms)
    {
        m_print.push_back([=, this, time = &ms] { report::printLine({operation, m_books, *time, std::nullopt}); });
    }
    void memory(const std::string &label, double mb, bool judged)
    {
        m_print.push_back([=, this] { report::printMemory(label, m_books, mb, judged); });
    }
    void print() const
    {
        for (const auto &p : m_print)
            p();
    }

private:
    int m_books;
    std::vector<std::function<void()>> m_print;
};

// Destroys the windows and points the program folder back at the real one
// when the measurement ends, also when it ends by an error.
class Session
{
public:
    explicit Session(const QString &programFolder)
        : m_previousFolder(QDir::currentPath())
    {
        programfolder::setOverride(programFolder);
    }
    ~Session()
    {
        windows::destroyAll();
        programfolder::setOverride(QString());
        QDir::setCurrent(m_previousFolder);
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

private:
    QString m_previousFolder;
};

} // namespace

void measure(const Options &options)
{
    const int books = options.books;
    const int runs = options.runs;
    require(books >= 100 && runs > 0 && runs <= 20, "use at least 100 books and 1 to 20 runs");

    const QString base = options.tempBase.isEmpty() ? QDir::tempPath() : options.tempBase;
    QTemporaryDir folder(base + QStringLiteral("/quillmere-bench-XXXXXX"));
    require(folder.isValid(), "cannot make a temporary folder in " + base.toStdString());
    const QString file = folder.filePath(QStringLiteral("data.qmd"));

    QElapsedTimer seedTimer;
    seedTimer.start();
    seed::makeCatalogue(file, books);
    const double seedSeconds = report::elapsedMs(seedTimer) / 1000.0;
    const double fileMb = double(QFileInfo(file).size()) / (1024.0 * 1024.0);

    Floor floor(file);
    Lines lines(books);
    QString exportSizes;
    std::optional<Session> session(std::in_place, folder.path());
    const bool judgeMemory = books == 100000;

    // Start: all seventeen windows, the main window filling its tree and its
    // list on creation. One run: a start happens once per process.
    const double startMs = report::timeMs([] { windows::createAll(); });
    requireShown("start", 0);
    require(form_main && listModel().rowCount() == books, "the list does not hold every book after start");
    const double startPeakMb = report::peakMemoryMb();
    const double startFloorMs = report::timeMs([&] {
        floor.readAll("select * from category");
        floor.readAll(kAllBooks.toUtf8());
    });
    lines.add("start (tree + list fill)", startMs, startFloorMs);

    // Fill of the whole list, beside reading the same rows from SQLite.
    {
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            Floor::Read read;
            floors.push_back(report::timeMs([&] { read = floor.readAll(kAllBooks.toUtf8()); }));
            times.push_back(report::timeMs(fillAll));
            requireShown("fill", 0);
            require(read.rows == books && listModel().rowCount() == books, "fill: wrong number of rows");
        }
        lines.add("fill whole list", report::best(times), report::best(floors), report::Target::WithinFloor3x);
    }
    double partScanMs = 0, partRowsMs = 0; // measured at the end
    lines.addLater("  fill, part: scan of the rows", partScanMs);
    lines.addLater("  fill, part: + packed rows built", partRowsMs);
    const double fillPeakMb = report::peakMemoryMb();
    const double fillCurrentMb = report::currentMemoryMb();

    // A click on a category: the list refilled with that category's books.
    {
        QTreeWidget *tree = form_main->treeview_main;
        QTreeWidgetItem *root = tree->topLevelItem(0);
        require(root && root->childCount() == seed::kCategoryCount, "the tree does not show every category");
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            QTreeWidgetItem *node = root->child((r * 7 + 3) % root->childCount());
            tree->setCurrentItem(node);
            const QByteArray sql = "select * from book where book_cate='" + node->text(0).toUtf8() + '\'';
            Floor::Read read;
            floors.push_back(report::timeMs([&] { read = floor.readAll(sql); }));
            times.push_back(report::timeMs([] { form_main->treeview_mainClick(); }));
            requireShown("category click", 0);
            require(listModel().rowCount() == read.rows, "category click: wrong number of rows");
        }
        lines.add("category click", report::best(times), report::best(floors), report::Target::WithinFloor3x);
        tree->setCurrentItem(root);
        form_main->treeview_mainClick();
    }

    // Sorting by a column header, each click on the whole list in the order
    // the fill gives. The floor is a plain std::sort of the same column's
    // sort keys, made beforehand.
    {
        BookListView *list = form_main->listview_main;
        auto click = [&](int column) {
            fillAll();
            const bool ascending = list->sortAscending(column);
            const double ms = report::timeMs([&] { list->columnClick(column); });
            requireSorted(listModel(), column, ascending);
            return ms;
        };
        // The first sort of the process also builds the table of the text
        // order; shown on its own line.
        const double firstMs = click(bookrow::Title);

        const struct
        {
            int column;
            const char *label;
        } columns[] = {{bookrow::Title, "sort by title (column 0)"}, {bookrow::Price, "sort by price (column 11)"}};
        for (const auto &c : columns) {
            fillAll();
            std::vector<QByteArray> keys;
            keys.reserve(size_t(books));
            for (int row = 0; row < listModel().rowCount(); ++row)
                keys.push_back(textorder::key(listModel().cell(row, c.column)));
            std::vector<double> floors;
            for (int r = 0; r < runs; ++r) {
                std::vector<QByteArray> copy = keys;
                floors.push_back(report::timeMs([&] { std::sort(copy.begin(), copy.end()); }));
            }
            std::vector<QByteArray>().swap(keys); // not to weigh on the program's memory
            std::vector<double> times;
            if (c.column == bookrow::Title)
                times.push_back(firstMs);
            for (int r = 0; r < runs; ++r)
                times.push_back(click(c.column));
            lines.add(c.label, report::best(times), report::best(floors), report::Target::Under150ms);
            if (c.column == bookrow::Title)
                lines.add("  sort by title, first in the process", firstMs, std::nullopt, report::Target::Under150ms);
        }
        requireShown("sort", 0);
    }

    // The export dialogs, on every book (before any is deleted): the grid's
    // snapshot, the HTML page of every book, the worksheet of as many books
    // as it holds; each export beside writing as many bytes.
    double exportGridsMb = 0;
    {
        const exportrun::Figures e = exportrun::measure(floor, folder.path(), books, runs);
        lines.add("export dialog: open (grid snapshot)", e.openMs, e.openFloorMs);
        lines.addFor(e.htmlBooks, "export HTML page", e.htmlMs, e.htmlFloorMs);
        lines.addFor(e.excelBooks, "export Excel worksheet", e.excelMs, e.excelFloorMs);
        exportSizes = QStringLiteral("HTML page %1 MB, worksheet %2 MB")
                          .arg(double(e.htmlBytes) / (1024.0 * 1024.0), 0, 'f', 1)
                          .arg(double(e.excelBytes) / (1024.0 * 1024.0), 0, 'f', 1);
        exportGridsMb = e.gridResidentMb;
    }

    // Deleting one book: a row selected, the question answered Yes. Every
    // run deletes another book; the floor deletes books from the end of the
    // file, the program books from the middle of the list.
    {
        fillAll();
        std::vector<double> times, floors;
        for (int r = 0; r < runs; ++r) {
            const qint64 floorId = qint64(books) - r;
            floors.push_back(report::timeMs([&] { floor.readAndDelete(floorId); }));

            const int rowsBefore = listModel().rowCount();
            const int row = rowsBefore / 2 - r;
            const qint64 id = listModel().cell(row, bookrow::Number).toLongLong();
            require(id > 0 && id < qint64(books) - runs, "delete: unexpected book number");
            form_main->listview_main->selectRow(row);
            msg::setNextAnswer(true);
            times.push_back(report::timeMs([] { form_main->medelbookClick(); }));
            requireShown("delete", 1);
            require(listModel().rowCount() == rowsBefore - 1 && floor.countBook(id) == 0,
                    "delete: the book was not deleted");
        }
        lines.add("delete one book", report::best(times), report::best(floors));
    }

    // The list as the user sees it: the main window shown (off screen), a
    // fill followed by the repaint it causes.
    {
        form_main->show();
        QCoreApplication::processEvents();
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            times.push_back(report::timeMs([] {
                fillAll();
                QCoreApplication::processEvents();
            }));
        }
        requireShown("fill with the window shown", 0);
        lines.add("fill, window shown (incl. repaint)", report::best(times), std::nullopt);
    }
    const double wholePeakMb = report::peakMemoryMb();

    // Where the fill's time goes: the scan of the result through the
    // dataset, then the packed rows built from it. What the fill takes
    // beyond the last is the list model's share. Measured after the peak
    // memory was read, with the list emptied first.
    {
        listModel().clear();
        std::vector<double> scans, rows;
        for (int r = 0; r < runs; ++r) {
            Dataset data;
            data.setCommandText(kAllBooks);
            int seen = 0; // touched, so the visit is not optimised away
            scans.push_back(report::timeMs([&] { data.scan([&](const Dataset::Row &) { ++seen; }); }));
            rows.push_back(report::timeMs([&] {
                bookrow::FieldReader reader;
                PackedRows packed;
                data.scan([&](const Dataset::Row &row) { reader.read(row, packed); });
            }));
        }
        partScanMs = report::best(scans);
        partRowsMs = report::best(rows);
    }

    session.reset();

    lines.memory("peak memory after start (first fill)", startPeakMb, judgeMemory);
    lines.memory("peak memory after the refills", fillPeakMb, judgeMemory);
    lines.memory("  resident memory, list full", fillCurrentMb, false);
    lines.memory("  resident memory, export grids open", exportGridsMb, false);
    lines.memory("peak memory, whole run", wholePeakMb, judgeMemory);
    lines.print();
    std::printf("  (%d books seeded in %.1f s, data file %.1f MB, in %s; best of %d runs, start: one run)\n", books,
                seedSeconds, fileMb, qPrintable(QDir::toNativeSeparators(base)), runs);
    std::printf("  (exports: %s; floors write as many bytes with fwrite and fsync)\n", qPrintable(exportSizes));
    std::fflush(stdout);
}

} // namespace sizerun
