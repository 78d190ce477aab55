// The grid's rows read from the data file when shown or written: the same
// texts as a copy of every book gave, the command's order, books removed
// after the grid opened, a file that cannot be read, and the data file let go
// with the dialog.
#include "tst_export.h"

#include "components/exportgrid.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "export/form_savehtml.h"
#include "formats/gridexportexcel.h"
#include "formats/gridexporthtml.h"
#include "main/form_main.h"
#include "store/dataset.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <sqlite3.h>

namespace {

// The fifteen fields of every book as the data file holds them, read
// directly through SQLite into a table held in memory, with the types the
// book table declares: what the grid showed and wrote when it kept a copy of
// every book.
void readStoredBooks(const QString &file, GridTable &table)
{
    const QHash<QString, FieldType> types{{QStringLiteral("book_id"), FieldType::Integer},
                                          {QStringLiteral("book_pages"), FieldType::Integer},
                                          {QStringLiteral("book_pubd"), FieldType::Date},
                                          {QStringLiteral("book_buyd"), FieldType::Date},
                                          {QStringLiteral("book_loand"), FieldType::Date}};
    QStringList names;
    for (int c = 0; c < ExportGrid::kColumnCount; ++c) {
        names << ExportGrid::fieldName(c);
        table.addField(names.last(), types.value(names.last(), FieldType::Text));
    }
    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = "select " + names.join(QLatin1Char(',')).toUtf8() + " from book order by book_id";
    QVERIFY(sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK);
    QVERIFY(sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < int(names.size()); ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL:
                table.appendNull();
                break;
            case SQLITE_INTEGER:
                table.appendInteger(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                table.appendReal(sqlite3_column_double(stmt, c));
                break;
            default: {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                table.appendText(QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)));
                break;
            }
            }
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// The grid's look and columns over a table of copies.
struct CopiedGrid : ExportableGrid
{
    explicit CopiedGrid(const ExportGrid &shown)
        : grid(shown)
    {}
    const ExportGrid &grid;
    GridTable table;

    GridLook exportLook() const override { return grid.exportLook(); }
    std::vector<GridColumn> exportColumns() const override { return grid.exportColumns(); }
    const GridTable *exportTable() const override { return &table; }
    std::vector<int> exportSelectedRows() const override { return {}; }
};

QString shown(const ExportGrid *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// Book number and title of each record line of a page, in file order, as
// "number:title"; a record without values as ":".
QStringList numbersAndTitles(const QByteArray &page)
{
    static const QRegularExpression record(
        QStringLiteral("^<TR><TD[^>]*><FONT[^>]*>([^<]*)</FONT></TD><TD[^>]*><FONT[^>]*>([^<]*)</FONT>"),
        QRegularExpression::MultilineOption);
    QStringList found;
    for (auto m = record.globalMatch(QString::fromLatin1(page)); m.hasNext();) {
        const QRegularExpressionMatch match = m.next();
        auto text = [&](int n) { return match.captured(n) == QLatin1String("&nbsp;") ? QString() : match.captured(n); };
        found << text(1) + QLatin1Char(':') + text(2);
    }
    return found;
}

// As many books as make several of the grid's pages, titled so that their
// order by title is neither their order by number nor its reverse.
void seedBooks(const std::function<void(const QString &)> &seed, int count)
{
    seed(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                        "insert into book (book_id, book_name) select i, 't' || ((i * 37) % %1 + 1000) from n")
             .arg(count));
}

} // namespace

void ExportTest::gridShowsAndWritesStoredValuesAsBefore()
{
    // Odd values as another program may have stored them: no values, a
    // number in a text column, a fraction and a text in whole-number
    // columns, a number and a text that is no date in date columns, an empty
    // text, a long title, characters outside GB2312 and outside the BMP, a
    // blob, a number too large for a worksheet's RK cell.
    seed(QStringLiteral(
        "insert into book (book_id) values (1);"
        "insert into book (book_id, book_name, book_author, book_pages, book_pubd, book_value, book_buyd, book_loand,"
        " book_isbn) values (2, 12345, '', 12.5, 20200105, '59.70', '2020-01-05', 'yesterday', -7);"
        "insert into book (book_id, book_name, book_author, book_author2, book_cate, book_language, book_pub,"
        " book_pages, book_pubd, book_buyd, book_reader, book_loand) values (3,"
        " replace(hex(zeroblob(5000)), '00', '书'), 'Åsa Ñ 𠀀 😀', x'E4B9A6', '  ', '中文', '<&> \"q\"',"
        " 9007199254740993, '1999-12-31', '2000-02-30', '张三', 1999.5);"
        "insert into book (book_id, book_name, book_pages, book_value, book_buya) values (10, 'Ten', 'many', 1e20,"
        " '北京');"));
    start();
    const QString page = folder->path() + QStringLiteral("grid.html");
    const QString sheet = folder->path() + QStringLiteral("grid.xls");
    const QString copiedPage = folder->path() + QStringLiteral("copied.html");
    const QString copiedSheet = folder->path() + QStringLiteral("copied.xls");
    inDialog("mfsavehtml", [&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        fixComputedWidths(grid);
        CopiedGrid copied(*grid);
        readStoredBooks(dataFile(), copied.table);
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(copied.table.rowCount(), 4);
        for (int row = 0; row < 4; ++row)
            for (int c = 0; c < ExportGrid::kColumnCount; ++c)
                QCOMPARE(shown(grid, row, c), copied.table.displayText(row, c));

        // The texts themselves, for a few of them.
        QCOMPARE(shown(grid, 1, 1), QStringLiteral("12345"));
        QCOMPARE(shown(grid, 1, 6), QStringLiteral("12.5"));
        QCOMPARE(shown(grid, 1, 9), QStringLiteral("20200105"));
        QCOMPARE(shown(grid, 1, 11), QStringLiteral("2020/1/5"));
        QCOMPARE(shown(grid, 1, 14), QStringLiteral("yesterday"));
        QCOMPARE(shown(grid, 2, 1), QString(5000, QChar(0x4E66)));
        QCOMPARE(shown(grid, 2, 2), QStringLiteral("Åsa Ñ 𠀀 😀"));
        QCOMPARE(shown(grid, 2, 3), QStringLiteral("书"));
        QCOMPARE(shown(grid, 2, 6), QStringLiteral("9007199254740993"));
        QCOMPARE(shown(grid, 2, 9), QStringLiteral("1999/12/31"));
        QCOMPARE(shown(grid, 2, 11), QStringLiteral("2000-02-30"));
        QCOMPARE(shown(grid, 3, 0), QStringLiteral("10"));
        QCOMPARE(shown(grid, 3, 6), QStringLiteral("many"));

        grid->SaveToHTML(page, true);
        grid->SaveToXLS(sheet, true);
        TGridExportHTML(copiedPage, copied, true).Execute();
        TGridExportExcel(copiedSheet, copied, true).Execute();
    });
    QVERIFY(msg::takeShown().isEmpty());
    const QByteArray written = readAll(page);
    QCOMPARE(written, readAll(copiedPage));
    QCOMPARE(readAll(sheet), readAll(copiedSheet));
    QVERIFY(written.contains(gb::bytes("CAE9").repeated(5000)));
    QVERIFY(written.contains(gb::bytes("95328236"))); // 𠀀
    QVERIFY(written.contains("&lt;&amp;&gt; \"q\""));
}

void ExportTest::rowsFollowTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("expected"); // the same rows, run directly
    auto row = [](const char *name, const QString &command, const QVariantList &values = {}, QString expected = {}) {
        QTest::newRow(name) << command << values << (expected.isEmpty() ? command : expected);
    };
    row("table order", QStringLiteral("select * from book"));
    row("by title", QStringLiteral("select * from book order by book_name"));
    row("numbers falling", QStringLiteral("select * from book order by book_id desc"));
    // Gaps the cursor steps over, and gaps it seeks across.
    row("every seventh", QStringLiteral("select * from book where book_id % 7 = 0"));
    row("runs far apart", QStringLiteral("select * from book where book_id % 40 < 3"));
    row("a value bound", QStringLiteral("select * from book where book_name >= ? order by book_name desc"),
        {QStringLiteral("t1300")},
        QStringLiteral("select * from book where book_name >= 't1300' order by book_name desc"));
}

void ExportTest::rowsFollowTheCommand()
{
    QFETCH(QString, command);
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);
    // More pages than the grid keeps.
    seedBooks([this](const QString &sql) { seed(sql); }, 2500);
    const QStringList numbers = query(expected);
    const QStringList titles =
        query(QString(expected).replace(QLatin1String("select *"), QLatin1String("select book_name")));
    QVERIFY(numbers.size() > 50);
    QStringList pairs;
    for (int i = 0; i < numbers.size(); ++i)
        pairs << numbers[i] + QLatin1Char(':') + titles[i];

    fixture::Cursor table;
    table.setCommandText(command, values);
    auto rows = std::make_unique<StoredGridTable>();
    rows->open(table, ExportGrid::fieldNames());
    ExportGrid grid;
    grid.setRows(std::move(rows));
    QCOMPARE(grid.model()->rowCount(), numbers.size());
    // From the last row up and back down, so that pages are read out of
    // order and read again after they were let go.
    for (int row = int(numbers.size()) - 1; row >= 0; --row)
        QCOMPARE(shown(&grid, row, 0) + QLatin1Char(':') + shown(&grid, row, 1), pairs[row]);
    for (int row = 0; row < numbers.size(); ++row)
        QCOMPARE(shown(&grid, row, 0) + QLatin1Char(':') + shown(&grid, row, 1), pairs[row]);

    const QString all = folder->path() + QStringLiteral("all.html");
    grid.SaveToHTML(all, true);
    QCOMPARE(numbersAndTitles(readAll(all)), pairs);

    // Selected rows in the order selected: keys back and forth.
    const QList<int> picked{int(numbers.size()) - 1, 3, 40, 42, 41, 0, 20};
    QStringList pickedPairs;
    for (const int row : picked) {
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        pickedPairs << pairs[row];
    }
    const QString selected = folder->path() + QStringLiteral("selected.html");
    grid.SaveToHTML(selected, false);
    QCOMPARE(numbersAndTitles(readAll(selected)), pickedPairs);
    grid.close();
}

void ExportTest::removedBookIsAnEmptyRow_data()
{
    QTest::addColumn<QList<int>>("removed"); // book numbers
    QTest::newRow("first") << QList<int>{1};
    QTest::newRow("on a page not yet shown") << QList<int>{500};
    QTest::newRow("last") << QList<int>{600};
    QList<int> run;
    for (int id = 281; id <= 330; ++id)
        run << id;
    QTest::newRow("a run of fifty") << run;
    QTest::newRow("every book") << QList<int>{};
}

void ExportTest::removedBookIsAnEmptyRow()
{
    QFETCH(QList<int>, removed);
    seedBooks([this](const QString &sql) { seed(sql); }, 600);
    const QStringList titles = query(QStringLiteral("select book_name from book order by book_id"));
    auto isRemoved = [&](int row) { return removed.isEmpty() || removed.contains(row + 1); };
    start();
    const QString page = folder->path() + QStringLiteral("page.html");
    const QString sheet = folder->path() + QStringLiteral("sheet.xls");

    auto removeBooks = [&] {
        QStringList numbers;
        for (const int id : removed)
            numbers << QString::number(id);
        seed(removed.isEmpty() ? QStringLiteral("delete from book")
                               : QStringLiteral("delete from book where book_id in (%1)").arg(numbers.join(u',')));
    };
    // Removed while the dialog is open (only another program could), then
    // written by both exports.
    fixture::onNextModal([&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        QCOMPARE(shown(grid, 0, 1), titles[0]);
        removeBooks();
        grid->SaveToHTML(page, true);
        QCOMPARE(grid->exportRecordCount(true), 600);
        grid->SaveToXLS(sheet, true);
        dialog->close(); // the title bar's close box: the grid keeps its rows
    });
    form_main->action("mfsavehtml")->trigger();
    QVERIFY(msg::takeShown().isEmpty());

    QStringList expected;
    for (int row = 0; row < 600; ++row)
        expected << (isRemoved(row) ? QStringLiteral(":") : QString::number(row + 1) + QLatin1Char(':') + titles[row]);
    const QByteArray written = readAll(page);
    QCOMPARE(numbersAndTitles(written), expected);
    const QByteArray worksheet = readAll(sheet);
    QVERIFY(worksheet.endsWith(QByteArray::fromHex("0A000000")));
    for (int row = 0; row < 600; ++row) {
        // Sheet row row + 1: the number (an RK cell, 0 when there is none)
        // and the title.
        auto le16 = [](int value) { return QByteArray(1, char(value & 0xFF)) + char((value >> 8) & 0xFF); };
        const QByteArray at = le16(row + 1);
        const int rk = isRemoved(row) ? 2 : (row + 1) * 4 + 2;
        const QByteArray number =
            QByteArray::fromHex("7E020A00") + at + QByteArray::fromHex("00001D00") + le16(rk) + le16(0);
        const QByteArray title = isRemoved(row) ? QByteArray() : titles[row].toLatin1();
        const QByteArray label = QByteArray::fromHex("0402") + char(8 + title.size()) + '\0' + at +
                                 QByteArray::fromHex("01001E00") + char(title.size()) + '\0' + title;
        QVERIFY2(worksheet.contains(number + label), qPrintable(QString::number(row)));
    }

    // Shown again, the grid reads its rows afresh: as many rows, the removed
    // ones empty.
    inDialog("mfsavehtml", [&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        QCOMPARE(grid->model()->rowCount(), 600);
        for (int row = 0; row < 600; ++row) {
            if (!isRemoved(row)) {
                QCOMPARE(shown(grid, row, 1), titles[row]);
                continue;
            }
            for (int c = 0; c < ExportGrid::kColumnCount; ++c)
                QCOMPARE(shown(grid, row, c), QString());
        }
    });
    QVERIFY(msg::takeShown().isEmpty());
}

void ExportTest::unreadableRowsNameTheFile()
{
    seedBooks([this](const QString &sql) { seed(sql); }, 600);
    const QString first = query(QStringLiteral("select book_name from book where book_id = 1")).value(0);
    start();
    const QString target = folder->path() + QStringLiteral("out.html");
    const QStringList before = filesIn(folder->path());
    auto namesTheFile = [](const msg::Shown &box) {
        return box.kind == msg::Kind::Error && box.text.contains(QLatin1String("data.qmd")) &&
               box.text.contains(QLatin1String("book"));
    };
    inDialog("mfsavehtml", [&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        QCOMPARE(shown(grid, 0, 1), first);
        // Another program takes the book table away.
        seed(QStringLiteral("alter table book rename to book_away"));

        // A row of a page not read before shows empty, and so does the rest
        // of its page, without another try; the error is shown once, after
        // the paint that asked for it. A page read before stays.
        QCOMPARE(shown(grid, 599, 1), QString());
        QCOMPARE(shown(grid, 598, 0), QString());
        QCOMPARE(shown(grid, 0, 1), first);
        QList<msg::Shown> boxes;
        QTRY_VERIFY((boxes += msg::takeShown()).size() > 0);
        QTest::qWait(50);
        boxes += msg::takeShown();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(namesTheFile(boxes[0]), qPrintable(boxes[0].text));

        // Saving reads the rows again: the error box, and no file.
        filedialog::setNextFileName(target);
        click(dialog, "button_ok");
        boxes = msg::takeShown();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(namesTheFile(boxes[0]), qPrintable(boxes[0].text));
        QVERIFY(dialog->isVisible());
    });
    QCOMPARE(filesIn(folder->path()), before);
}

void ExportTest::gridLetsTheFileGoWithItsDialog()
{
    seedThreeBooks();
    start();
    fixture::onNextModal([&](QDialog *dialog) {
        QCOMPARE(shown(gridOf(dialog), 1, 1), QStringLiteral("红楼梦"));
        dialog->close(); // the grid keeps its rows and its reading of the file
    });
    form_main->action("mfsavehtml")->trigger();
    QVERIFY(form_savehtml->grid()->isActive());
    windows.reset();

    // No descriptor of this process leads to the data file any more.
    const QString file = QFileInfo(dataFile()).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : descriptors.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        QVERIFY2(fd.symLinkTarget() != file, qPrintable(fd.fileName()));
}
