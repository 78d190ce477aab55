// The engine and its writers on small tables made by hand: the field types
// and limits the book table never shows, write errors, a grid without data.
#include "tst_export.h"

#include "formats/gridexportexcel.h"
#include "formats/gridexporthtml.h"
#include "store/usererror.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A grid of one look, the given columns and a table made by hand.
struct TestGrid : ExportableGrid
{
    GridTable table;
    bool withTable = true;
    std::vector<GridColumn> columns;
    GridLook look;
    int started = 0;
    int ended = 0;

    TestGrid()
    {
        look.name = QStringLiteral("grid");
        look.font = {QStringLiteral("Arial"), 10, false, false, false, false, 0x112233};
        look.headerFont = look.font;
        look.bandFont = look.font;
        look.color = 0xFFFFFF;
        look.headerColor = 0xC0C0C0;
    }
    void addColumn(const QString &caption, const QString &field, FieldType type,
                   GridAlignment alignment = GridAlignment::Left)
    {
        GridColumn column;
        column.caption = caption;
        column.width = 64;
        column.alignment = alignment;
        column.color = look.color;
        column.font = look.font;
        column.fieldName = field;
        columns.push_back(column);
        if (!field.isEmpty())
            table.addField(field, type);
    }

    GridLook exportLook() const override { return look; }
    std::vector<GridColumn> exportColumns() const override { return columns; }
    const GridTable *exportTable() const override { return withTable ? &table : nullptr; }
    std::vector<int> exportSelectedRows() const override { return {}; }
    void exportStarted() override { ++started; }
    void exportEnded() noexcept override { ++ended; }
};

void appendValue(GridTable &table, const QVariant &value)
{
    if (!value.isValid())
        table.appendNull();
    else if (value.typeId() == QMetaType::LongLong)
        table.appendInteger(value.toLongLong());
    else if (value.typeId() == QMetaType::Double)
        table.appendReal(value.toDouble());
    else
        table.appendText(value.toString());
}

// Fails one write of the given number and takes every other.
class FlakyDevice : public QIODevice
{
public:
    explicit FlakyDevice(int failingWrite)
        : m_failing(failingWrite)
    {
        open(WriteOnly);
    }
    QByteArray data;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *bytes, qint64 size) override
    {
        if (++m_writes == m_failing)
            return -1;
        data.append(bytes, size);
        return size;
    }

private:
    int m_failing;
    int m_writes = 0;
};

QByteArray exported(TestGrid &grid, bool worksheet)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out"));
    if (worksheet)
        TGridExportExcel(path, grid, true).Execute();
    else
        TGridExportHTML(path, grid, true).Execute();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

} // namespace

void ExportTest::worksheetCells_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("cell");
    const auto integer = int(FieldType::Integer);
    const auto floating = int(FieldType::Float);
    const auto text = int(FieldType::Text);
    const auto memo = int(FieldType::Memo);
    auto rk = [](const char *value) {
        return QByteArray::fromHex("7E020A00 0100 0000 1D00") + QByteArray::fromHex(value);
    };
    auto number = [](const char *value) {
        return QByteArray::fromHex("03020E00 0100 0000 1D00") + QByteArray::fromHex(value);
    };
    QTest::newRow("whole number") << integer << QVariant(qlonglong(123)) << rk("EE010000");
    QTest::newRow("negative") << integer << QVariant(qlonglong(-5)) << rk("EEFFFFFF");
    QTest::newRow("smallest in RK") << integer << QVariant(qlonglong(-536870912)) << rk("02000080");
    QTest::newRow("largest in RK") << integer << QVariant(qlonglong(536870911)) << rk("FEFFFF7F");
    QTest::newRow("too large for RK") << integer << QVariant(qlonglong(536870912)) << number("000000000000C041");
    QTest::newRow("too small for RK") << integer << QVariant(qlonglong(-536870913)) << number("000080000000C0C1");
    QTest::newRow("no whole number") << integer << QVariant() << rk("02000000");
    QTest::newRow("floating number") << floating << QVariant(1.5) << number("000000000000F83F");
    QTest::newRow("no floating number") << floating << QVariant() << number("0000000000000000");
    QTest::newRow("date") << int(FieldType::Date) << QVariant(QStringLiteral("2023/11/30"))
                          << QByteArray::fromHex("04021200 0100 0000 1D00 0A00") + "2023/11/30";
    QTest::newRow("text of 300 bytes, whole")
        << text << QVariant(QString(300, QLatin1Char('a')))
        << QByteArray::fromHex("04023401 0100 0000 1D00 2C01") + QByteArray(300, 'a');
    QTest::newRow("memo cut to 255 bytes")
        << memo << QVariant(QString(300, QLatin1Char('a')))
        << QByteArray::fromHex("04020701 0100 0000 1D00 FF00") + QByteArray(255, 'a');
    QTest::newRow("memo of two-byte characters")
        << memo << QVariant(QString(150, QChar(0x4E66)))
        << QByteArray::fromHex("04020601 0100 0000 1D00 FE00") + QByteArray::fromHex("CAE9").repeated(127);
    QTest::newRow("memo of four-byte characters")
        << memo << QVariant(QString::fromUcs4(U"\U00020000").repeated(70))
        << QByteArray::fromHex("04020401 0100 0000 1D00 FC00") + QByteArray::fromHex("95328236").repeated(63);
    QTest::newRow("memo ending on a whole character")
        << memo << QVariant(QLatin1String("a") + QString(150, QChar(0x4E66)))
        << QByteArray::fromHex("04020701 0100 0000 1D00 FF00") + "a" + QByteArray::fromHex("CAE9").repeated(127);
    QTest::newRow("column without a field") << -1 << QVariant() << QByteArray::fromHex("04020800 0100 0000 1D00 0000");
}

void ExportTest::worksheetCells()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, cell);
    TestGrid grid;
    if (type < 0) {
        grid.addColumn(QStringLiteral("x"), QString(), FieldType::Text);
        grid.table.addField(QStringLiteral("other"), FieldType::Text);
    } else {
        grid.addColumn(QStringLiteral("x"), QStringLiteral("f"), FieldType(type));
    }
    appendValue(grid.table, value);
    const QByteArray sheet = exported(grid, true);
    QVERIFY2(sheet.endsWith(cell + QByteArray::fromHex("0A000000")), sheet.right(cell.size() + 4).toHex(' '));
}

void ExportTest::pageCellsAndStyles()
{
    TestGrid grid;
    grid.look.showGrid = false;
    grid.look.singleBorder = false;
    grid.look.headerFont.bold = true;
    grid.look.headerFont.strikeOut = true;
    grid.look.color = std::nullopt;
    grid.addColumn(QStringLiteral("A & B"), QStringLiteral("f"), FieldType::Float, GridAlignment::Center);
    grid.columns[0].font.italic = true;
    grid.columns[0].font.underline = true;
    grid.columns[0].color = std::nullopt;
    grid.table.appendReal(1.5);
    grid.table.appendNull();
    grid.table.appendText(QStringLiteral("  "));
    const QByteArray page = exported(grid, false);
    QVERIFY(
        page.contains("\r\n<BODY BGCOLOR=#C0C0C0>\r\n<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=2 BGCOLOR=#C0C0C0>\r\n"
                      "<TR VALIGN=\"TOP\" class=\"Header\" BGCOLOR=#C0C0C0><TD NOWRAP WIDTH=64 ALIGN=\"LEFT\">"
                      "<B><STRIKE>A &amp; B</STRIKE></B></TD></TR>\r\n"));
    const QByteArray before = "<TR><TD NOWRAP ALIGN=\"CENTER\" BGCOLOR=#000000><FONT STYLE=\"font-family: Arial; "
                              "font-size: 10pt; color: #112233\">";
    QVERIFY(page.contains("\r\n" + before + "<I><U>1.5</U></I></FONT></TD></TR>\r\n" + before +
                          "&nbsp;</FONT></TD></TR>\r\n" + before +
                          "<I><U>  </U></I></FONT></TD></TR>\r\n"
                          "</TABLE>\r\n</BODY>\r\n</HTML>\r\n"));
    QVERIFY(!page.contains("</TD></TR></TABLE>"));
}

void ExportTest::writeErrorStillEndsTheFile_data()
{
    QTest::addColumn<bool>("worksheet");
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("excel") << true << QByteArray::fromHex("0A000000");
    QTest::newRow("html") << false << QByteArray("</TABLE>\r\n</TD></TR></TABLE>\r\n</BODY>\r\n</HTML>\r\n");
}

void ExportTest::writeErrorStillEndsTheFile()
{
    QFETCH(bool, worksheet);
    QFETCH(QByteArray, end);
    TestGrid grid;
    grid.addColumn(QStringLiteral("t"), QStringLiteral("t"), FieldType::Text);
    for (int i = 0; i < 20000; ++i)
        grid.table.appendText(QStringLiteral("a title of some length"));
    FlakyDevice device(2); // the second block fails, in the middle of the records
    try {
        if (worksheet)
            TGridExportExcel(QString(), grid, true).SaveToStream(device);
        else
            TGridExportHTML(QString(), grid, true).SaveToStream(device);
        QFAIL("the write error was not reported");
    } catch (const UserError &e) {
        QCOMPARE(e.message(), QStringLiteral("Stream write error"));
    }
    QVERIFY(device.data.endsWith(end));
    QCOMPARE(grid.started, 1);
    QCOMPARE(grid.ended, 1);
}

void ExportTest::gridWithoutDataWritesNothing()
{
    TestGrid grid;
    grid.addColumn(QStringLiteral("t"), QStringLiteral("t"), FieldType::Text);
    grid.withTable = false;
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("new.out"));
    const QString earlier = dir.filePath(QStringLiteral("old.out"));
    QFile old(earlier);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the earlier export") == 18);
    old.close();
    for (const bool worksheet : {false, true}) {
        // Onto a device: nothing.
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        if (worksheet)
            TGridExportExcel(QString(), grid, true).SaveToStream(device);
        else
            TGridExportHTML(QString(), grid, true).SaveToStream(device);
        QCOMPARE(device.data(), QByteArray());

        // As a file: refused, and no file is made or replaced.
        for (const QString &path : {fresh, earlier}) {
            try {
                if (worksheet)
                    TGridExportExcel(path, grid, true).Execute();
                else
                    TGridExportHTML(path, grid, true).Execute();
                QFAIL("a grid without data was written");
            } catch (const UserError &e) {
                QCOMPARE(e.message(), QStringLiteral("表格的数据没有读入，无法导出：文件 %1 未写入任何内容。")
                                          .arg(QDir::toNativeSeparators(path)));
            }
        }
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("old.out")});
        QCOMPARE(readAll(earlier), QByteArray("the earlier export"));
    }
    QCOMPARE(grid.started, 0);
}
