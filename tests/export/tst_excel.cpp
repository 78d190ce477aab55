// The Excel worksheet, byte for byte, and read back by Debian's xlrd.
#include "tst_export.h"

#include "components/exportgrid.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

QByteArray hex(const char *bytes)
{
    return QByteArray::fromHex(bytes);
}

QByteArray u16(int value)
{
    return QByteArray(1, char(value & 0xFF)) + QByteArray(1, char((value >> 8) & 0xFF));
}

// A text cell (LABEL) and a whole-number cell (RK, value given in file order).
QByteArray label(int row, int column, int format, const QByteArray &text)
{
    return hex("0402") + u16(8 + int(text.size())) + u16(row) + u16(column) + u16(format) + u16(int(text.size())) +
           text;
}

QByteArray rk(int row, int column, int format, const char *value)
{
    return hex("7E020A00") + u16(row) + u16(column) + u16(format) + hex(value);
}

// The captions, the columns' widths (pixels and in the file) and whether
// the column holds numbers, in the grid's order at start.
struct Column
{
    QByteArray caption;
    int pixels;
    const char *fileWidth;
    bool numeric;
};

QList<Column> columns()
{
    return {{gb::bytes("B1E0BAC5"), 40, "A005", true},
            {gb::bytes("C3FBB3C6"), 109, "540F", false},
            {gb::bytes("B5DAD2BBD7F7D5DF"), 82, "880B", false},
            {gb::bytes("B5DAB6FED7F7D5DF"), 92, "F00C", false},
            {gb::bytes("B7D6C0E0"), 84, "D00B", false},
            {gb::bytes("D3EFD1D4"), 60, "7008", false},
            {gb::bytes("D2B3CAFD"), 50, "0807", true},
            {"ISBN", 122, "2811", false},
            {gb::bytes("B3F6B0E6C9E7"), 152, "6015", false},
            {gb::bytes("B3F6B0E6C8D5C6DA"), 112, "C00F", false},
            {gb::bytes("BCDBB8F1"), 88, "600C", false},
            {gb::bytes("B9BAC2F2C8D5C6DA"), 112, "C00F", false},
            {gb::bytes("B9BAC2F2B5D8B5E3"), 119, "BC10", false},
            {gb::bytes("BDE8C8EBBDE8B3F6B9D8CFB5C8CB"), 109, "540F", false},
            {gb::bytes("BDE8C8EBBDE8B3F6C8D5C6DA"), 112, "C00F", false}};
}

// The sheet's start and its captions, with the columns in this order.
QByteArray preambleAndHeader(const QList<int> &order, const QList<Column> &cols)
{
    QByteArray out = hex("09040600 0000 1000 0000") + hex("80000800 0000000000000000");
    // Palette: header font, header, group text (none), group, cell font,
    // cells, window frame, window, band font, band, row footer text, row
    // footer, grid lines (none).
    out += hex("92003600 0D00 10182000 D4D0C800 00000000 D4D0C800 10182000 FFFEF000 40404000"
               "FFFEF000 10182000 D4D0C800 10182000 E3E1DC00 00000000");
    for (int i = 0; i < 4; ++i)
        out += hex("31020C00 C800 0000 FF7F 05 417269616C");
    out += hex("31020B00 B400 0000 0C00 04 CBCECCE5");
    out += hex("31020B00 B400 0000 0800 04 CBCECCE5");
    out += hex("31020B00 B400 0000 0A00 04 CBCECCE5");
    out += hex("31020B00 B400 0000 1000 04 CBCECCE5");
    out += hex("31020B00 B400 0000 1200 04 CBCECCE5");
    for (int i = 0; i < 15; ++i)
        out += hex("31020B00 B400 0000 0C00 04 CBCECCE5");
    out += hex("43040C00 0000F5FF2000 00CE 00000000");
    for (int i = 1; i <= 2; ++i)
        out += hex("43040C00 0100F5FF20F4 00CE 00000000");
    for (int i = 3; i <= 4; ++i)
        out += hex("43040C00 0200F5FF20F4 00CE 00000000");
    for (int i = 5; i <= 14; ++i)
        out += hex("43040C00 0000F5FF20F4 00CE 00000000");
    out += hex("43040C00 00000100 2000 00CE 00000000");
    out += hex("43040C00 0121F5FF20F8 00CE 00000000");
    out += hex("43040C00 011FF5FF20F8 00CE 00000000");
    out += hex("43040C00 0120F5FF20F8 00CE 00000000");
    out += hex("43040C00 011EF5FF20F8 00CE 00000000");
    out += hex("43040C00 010DF5FF20F8 00CE 00000000");
    out += hex("43040C00 05000100 21784103 A1A1A1A1");
    out += hex("43040C00 06000100 22784102 71717171");
    out += hex("43040C00 07000100 2178C102 00000000");
    out += hex("43040C00 05000100 2278C102 B9B9B9B9");
    out += hex("43040C00 05000100 2278C102 B900B900");
    out += hex("43040C00 08000100 22784102 71717100");
    out += hex("43040C00 09000100 2178C102 B9B9B9B9");
    out += hex("43040C00 09000100 2178C102 B900B900");
    for (int place = 0; place < order.size(); ++place)
        out += hex("43040C00") + QByteArray(1, char(10 + place)) + hex("000100") +
               hex(cols[order[place]].numeric ? "23" : "21") + hex("784103 A1A1A1A1");
    for (int place = 0; place < order.size(); ++place)
        out += hex("7D000C00") + u16(place) + u16(place) + hex(cols[order[place]].fileWidth) + hex("0F00 0000 0000");
    out += hex("00020A00 0000 FFFF 0000 FF00 0000");
    for (int place = 0; place < order.size(); ++place)
        out += label(0, place, 22, cols[order[place]].caption);
    return out;
}

// The cells of the three books in the grid's order at start; a text as
// its bytes, a number as its RK value.
struct Cell
{
    bool number;
    QByteArray value;
};

QList<Cell> bookCells(int book)
{
    auto text = [](const QByteArray &bytes) { return Cell{false, bytes}; };
    auto number = [](const char *value) { return Cell{true, QByteArray(value)}; };
    switch (book) {
    case 1:
        return {number("06000000"), text(""),           text(""), text(""), text(""),
                text(""),           number("02000000"), text(""), text(""), text(""),
                text(""),           text(""),           text(""), text(""), text("")};
    case 2:
        return {number("0A000000"),
                text(gb::bytes("BAECC2A5C3CE")),
                text(gb::bytes("B2DCD1A9C7DB")),
                text(gb::bytes("B8DFF0CA")),
                text(gb::bytes("D0A1CBB5")),
                text(gb::bytes("D6D0CEC4")),
                number("1A190000"),
                text("978-7-02-000220-7"),
                text(gb::bytes("C8CBC3F1CEC4D1A7B3F6B0E6C9E7")),
                text("1982/3/1"),
                text("59.70"),
                text("2020/1/5"),
                text(gb::bytes("B1B1BEA9")),
                text(""),
                text("")};
    default:
        return {number("0E000000"),
                text("C++ <B> & Co"),
                text("Bjarne"),
                text(""),
                text(gb::bytes("BCC6CBE3BBFA")),
                text(gb::bytes("D3A2CEC4")),
                number("62150000"),
                text("9780321563842"),
                text("Addison-Wesley"),
                text("2013/5/19"),
                text("89"),
                text("2014/2/28"),
                text("Online"),
                text(gb::bytes("D5C5C8FD")),
                text("2023/11/30")};
    }
}

QByteArray bookRow(int book, int row, const QList<int> &order)
{
    const QList<Cell> cells = bookCells(book);
    QByteArray out;
    for (int place = 0; place < order.size(); ++place) {
        const Cell &c = cells[order[place]];
        out += c.number ? rk(row, place, 29 + place, c.value.constData()) : label(row, place, 29 + place, c.value);
    }
    return out;
}

const QList<int> kStartOrder{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
const QByteArray kEof = QByteArray::fromHex("0A000000");

} // namespace

void ExportTest::excelBytes_data()
{
    htmlBytes_data();
}

void ExportTest::excelBytes()
{
    QFETCH(bool, books);
    if (books)
        seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("sheet.xls");
    saveThrough("mfsaveexcel", path);
    QByteArray expected = preambleAndHeader(kStartOrder, columns());
    if (books)
        expected += bookRow(1, 1, kStartOrder) + bookRow(2, 2, kStartOrder) + bookRow(3, 3, kStartOrder);
    expected += kEof;
    const QByteArray written = readAll(path);
    if (written != expected) {
        qsizetype at = 0;
        while (at < written.size() && at < expected.size() && written[at] == expected[at])
            ++at;
        qWarning("first difference at byte %lld: written %s, expected %s", qlonglong(at),
                 written.mid(at, 16).toHex(' ').constData(), expected.mid(at, 16).toHex(' ').constData());
    }
    QCOMPARE(written, expected);
}

void ExportTest::excelFollowsTheShownLayout()
{
    seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("sheet.xls");
    // "名称" dragged to the front, "分类" widened to 200 pixels.
    saveThrough("mfsaveexcel", path, [](ExportGrid *grid) {
        QHeaderView *header = grid->horizontalHeader();
        header->moveSection(header->visualIndex(1), 0);
        header->resizeSection(4, 200);
    });
    const QList<int> order{1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    QList<Column> cols = columns();
    cols[4].fileWidth = "201C";
    const QByteArray expected =
        preambleAndHeader(order, cols) + bookRow(1, 1, order) + bookRow(2, 2, order) + bookRow(3, 3, order) + kEof;
    QCOMPARE(readAll(path), expected);
}

void ExportTest::excelReadsBack()
{
    seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("sheet.xls");
    saveThrough("mfsaveexcel", path);
    const QString script = QStringLiteral(R"(
import sys, json
try:
    import xlrd
except ImportError:
    print('no xlrd')
    sys.exit(0)
book = xlrd.open_workbook(sys.argv[1], encoding_override='gb18030')
sheet = book.sheet_by_index(0)
print(json.dumps([[[c.ctype, c.value] for c in sheet.row(r)] for r in range(sheet.nrows)]))
)");
    const QByteArray out = python(script, {path});
    if (out.trimmed() == "no xlrd")
        QSKIP("Debian's python3-xlrd is not installed (scripts/deps.sh installs it)");
    QVERIFY2(!out.isEmpty(), "xlrd could not read the worksheet");
    const QJsonArray rows = QJsonDocument::fromJson(out).array();
    QVERIFY2(rows.size() == 4, out.constData());
    // A number cell reads back as a number, a text cell as a string. (xlrd
    // names the cell type from the cell's number format, and a sheet without
    // FORMAT records gives it none, so the value itself is compared.)
    auto at = [&](int row, int column) -> QJsonValue { return rows.at(row).toArray().at(column).toArray().at(1); };
    auto textAt = [&](int row, int column) {
        return at(row, column).isString() ? at(row, column).toString() : QStringLiteral("<not text>");
    };
    auto numberAt = [&](int row, int column) { return at(row, column).isDouble() ? at(row, column).toDouble() : -1.0; };
    const QStringList captions{
        QStringLiteral("编号"),     QStringLiteral("名称"),           QStringLiteral("第一作者"),
        QStringLiteral("第二作者"), QStringLiteral("分类"),           QStringLiteral("语言"),
        QStringLiteral("页数"),     QStringLiteral("ISBN"),           QStringLiteral("出版社"),
        QStringLiteral("出版日期"), QStringLiteral("价格"),           QStringLiteral("购买日期"),
        QStringLiteral("购买地点"), QStringLiteral("借入借出关系人"), QStringLiteral("借入借出日期")};
    for (int c = 0; c < 15; ++c) {
        QCOMPARE(rows.at(0).toArray().size(), 15);
        QCOMPARE(textAt(0, c), captions[c]);
    }
    QCOMPARE(numberAt(1, 0), 1.0);
    QCOMPARE(textAt(1, 1), QString());
    QCOMPARE(numberAt(1, 6), 0.0); // no page count counts as 0 in the sheet
    QCOMPARE(textAt(1, 9), QString());
    QCOMPARE(numberAt(2, 0), 2.0);
    QCOMPARE(textAt(2, 1), QStringLiteral("红楼梦"));
    QCOMPARE(textAt(2, 3), QStringLiteral("高鹗"));
    QCOMPARE(numberAt(2, 6), 1606.0);
    QCOMPARE(textAt(2, 8), QStringLiteral("人民文学出版社"));
    QCOMPARE(textAt(2, 9), QStringLiteral("1982/3/1"));
    QCOMPARE(textAt(2, 10), QStringLiteral("59.70"));
    QCOMPARE(numberAt(3, 0), 3.0);
    QCOMPARE(textAt(3, 1), QStringLiteral("C++ <B> & Co"));
    QCOMPARE(textAt(3, 13), QStringLiteral("张三"));
    QCOMPARE(textAt(3, 14), QStringLiteral("2023/11/30"));
}
