// The HTML page, byte for byte, and read back by Python's HTML parser.
#include "tst_export.h"

#include "components/exportgrid.h"
#include "components/filedialog.h"
#include "components/messages.h"

#include <QApplication>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QByteArray kSongti = gb::bytes("CBCECCE5");

// The captions in the grid's order at start.
QList<QByteArray> captions()
{
    return {gb::bytes("B1E0BAC5"),
            gb::bytes("C3FBB3C6"),
            gb::bytes("B5DAD2BBD7F7D5DF"),
            gb::bytes("B5DAB6FED7F7D5DF"),
            gb::bytes("B7D6C0E0"),
            gb::bytes("D3EFD1D4"),
            gb::bytes("D2B3CAFD"),
            "ISBN",
            gb::bytes("B3F6B0E6C9E7"),
            gb::bytes("B3F6B0E6C8D5C6DA"),
            gb::bytes("BCDBB8F1"),
            gb::bytes("B9BAC2F2C8D5C6DA"),
            gb::bytes("B9BAC2F2B5D8B5E3"),
            gb::bytes("BDE8C8EBBDE8B3F6B9D8CFB5C8CB"),
            gb::bytes("BDE8C8EBBDE8B3F6C8D5C6DA")};
}
const QList<int> kWidths{40, 109, 82, 92, 84, 60, 50, 122, 152, 112, 88, 112, 119, 109, 112};

QByteArray head()
{
    const QByteArray style = kSongti + "; font-size: 9pt; color: #";
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n"
           "<HTML>\r\n"
           "<HEAD>\r\n"
           "<TITLE>gird_html</TITLE> \r\n"
           "<STYLE>\r\n"
           "<!--\r\n"
           ".Band{font-family: " +
           style + "101820}\r\n.Header{font-family: " + style + "101820}\r\n.Footer{font-family: " + style +
           "101820}\r\n.RowFooter{font-family: " + style + "101820}\r\n.Group{font-family: " + style +
           "000000}\r\n"
           "-->\r\n"
           "</STYLE>\r\n"
           "</HEAD> \r\n"
           "<BODY BGCOLOR=#C0C0C0>\r\n"
           "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0><TR><TD>\r\n"
           "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0>\r\n";
}

const QByteArray kTail = "</TABLE>\r\n</TD></TR></TABLE>\r\n</BODY>\r\n</HTML>\r\n";

// The header row with the columns in this order (indexes at start).
QByteArray headerLine(const QList<int> &order, const QList<int> &widths = kWidths)
{
    QByteArray line = "<TR VALIGN=\"TOP\" class=\"Header\" BGCOLOR=#D4D0C8>";
    for (const int c : order)
        line += "<TD NOWRAP WIDTH=" + QByteArray::number(widths[c]) + " ALIGN=\"LEFT\">" + captions()[c] + "</TD>";
    return line + "</TR>\r\n";
}

QByteArray cell(const char *align, const QByteArray &text)
{
    return "<TD NOWRAP ALIGN=\"" + QByteArray(align) + "\" BGCOLOR=#FFFEF0><FONT STYLE=\"font-family: " + kSongti +
           "; font-size: 9pt; color: #101820\">" + (text.isEmpty() ? QByteArray("&nbsp;") : text) + "</FONT></TD>";
}

// The cells of the three books, in the grid's order at start.
QList<QByteArray> bookCells(int book)
{
    switch (book) {
    case 1:
        return {cell("RIGHT", "1"), cell("LEFT", ""),  cell("LEFT", ""), cell("LEFT", ""), cell("LEFT", ""),
                cell("LEFT", ""),   cell("RIGHT", ""), cell("LEFT", ""), cell("LEFT", ""), cell("LEFT", ""),
                cell("LEFT", ""),   cell("LEFT", ""),  cell("LEFT", ""), cell("LEFT", ""), cell("LEFT", "")};
    case 2:
        return {cell("RIGHT", "2"),
                cell("LEFT", gb::bytes("BAECC2A5C3CE")),
                cell("LEFT", gb::bytes("B2DCD1A9C7DB")),
                cell("LEFT", gb::bytes("B8DFF0CA")),
                cell("LEFT", gb::bytes("D0A1CBB5")),
                cell("LEFT", gb::bytes("D6D0CEC4")),
                cell("RIGHT", "1606"),
                cell("LEFT", "978-7-02-000220-7"),
                cell("LEFT", gb::bytes("C8CBC3F1CEC4D1A7B3F6B0E6C9E7")),
                cell("LEFT", "1982/3/1"),
                cell("LEFT", "59.70"),
                cell("LEFT", "2020/1/5"),
                cell("LEFT", gb::bytes("B1B1BEA9")),
                cell("LEFT", ""),
                cell("LEFT", "")};
    default:
        return {cell("RIGHT", "3"),
                cell("LEFT", "C++ &lt;B&gt; &amp; Co"),
                cell("LEFT", "Bjarne"),
                cell("LEFT", ""),
                cell("LEFT", gb::bytes("BCC6CBE3BBFA")),
                cell("LEFT", gb::bytes("D3A2CEC4")),
                cell("RIGHT", "1368"),
                cell("LEFT", "9780321563842"),
                cell("LEFT", "Addison-Wesley"),
                cell("LEFT", "2013/5/19"),
                cell("LEFT", "89"),
                cell("LEFT", "2014/2/28"),
                cell("LEFT", "Online"),
                cell("LEFT", gb::bytes("D5C5C8FD")),
                cell("LEFT", "2023/11/30")};
    }
}

QByteArray recordLine(int book, const QList<int> &order)
{
    const QList<QByteArray> cells = bookCells(book);
    QByteArray line = "<TR>";
    for (const int c : order)
        line += cells[c];
    return line + "</TR>\r\n";
}

const QList<int> kStartOrder{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

// The book numbers of the record lines, in file order.
QStringList recordIds(const QByteArray &page)
{
    QStringList ids;
    static const QRegularExpression first(QStringLiteral("^<TR><TD[^>]*><FONT[^>]*>(\\d+)<"),
                                          QRegularExpression::MultilineOption);
    for (auto m = first.globalMatch(QString::fromLatin1(page)); m.hasNext();)
        ids << m.next().captured(1);
    return ids;
}

} // namespace

void ExportTest::htmlBytes_data()
{
    QTest::addColumn<bool>("books");
    QTest::newRow("three books") << true;
    QTest::newRow("no books") << false;
}

void ExportTest::htmlBytes()
{
    QFETCH(bool, books);
    if (books)
        seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("page.html");
    saveThrough("mfsavehtml", path);
    QByteArray expected = head() + headerLine(kStartOrder);
    if (books)
        expected += recordLine(1, kStartOrder) + recordLine(2, kStartOrder) + recordLine(3, kStartOrder);
    expected += kTail;
    QCOMPARE(readAll(path), expected);
}

void ExportTest::htmlFollowsTheShownLayout()
{
    seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("page.html");
    // "名称" dragged to the front, "分类" widened.
    saveThrough("mfsavehtml", path, [](ExportGrid *grid) {
        QHeaderView *header = grid->horizontalHeader();
        header->moveSection(header->visualIndex(1), 0);
        header->resizeSection(4, 200);
    });
    const QList<int> order{1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    QList<int> widths = kWidths;
    widths[4] = 200;
    const QByteArray page = readAll(path);
    QVERIFY(page.contains("\r\n" + headerLine(order, widths)));
    QVERIFY(page.contains("\r\n" + recordLine(2, order)));
    QVERIFY(page.contains("\r\n" + recordLine(3, order) + kTail));
}

void ExportTest::htmlParsesBack()
{
    seedThreeBooks();
    start();
    const QString path = folder->path() + QStringLiteral("page.html");
    saveThrough("mfsavehtml", path);
    // Every tag closes in order; the rows of the inner table and the text
    // of their cells, as a browser reads them.
    const QString script = QStringLiteral(R"(
import sys, json
from html.parser import HTMLParser
class Check(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.problems, self.rows, self.cell = [], [], [], None
    def handle_starttag(self, tag, attrs):
        self.open.append(tag)
        inner = self.open.count('table') == 2
        if inner and tag == 'tr': self.rows.append([])
        if inner and tag == 'td': self.cell = ''
    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            self.problems.append('</%s> closes %s' % (tag, self.open))
            return
        self.open.pop()
        if tag == 'td' and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
page = Check()
page.feed(open(sys.argv[1], encoding='gb18030', newline='').read())
page.close()
if page.open: page.problems.append('left open: %s' % page.open)
print(json.dumps({'problems': page.problems, 'rows': page.rows}))
)");
    const QByteArray out = python(script, {path});
    QVERIFY2(!out.isEmpty(), "Python could not read the page");
    const QJsonObject result = QJsonDocument::fromJson(out).object();
    QCOMPARE(result.value(QLatin1String("problems")).toArray(), QJsonArray());
    const QJsonArray rows = result.value(QLatin1String("rows")).toArray();
    QCOMPARE(rows.size(), 4);
    for (const QJsonValue &row : rows)
        QCOMPARE(row.toArray().size(), 15);
    auto at = [&](int row, int column) { return rows.at(row).toArray().at(column).toString(); };
    const QString blank(QChar(0xA0));
    QCOMPARE(at(0, 0), QStringLiteral("编号"));
    QCOMPARE(at(0, 13), QStringLiteral("借入借出关系人"));
    QCOMPARE(at(1, 0), QStringLiteral("1"));
    QCOMPARE(at(1, 1), blank);
    QCOMPARE(at(2, 1), QStringLiteral("红楼梦"));
    QCOMPARE(at(2, 8), QStringLiteral("人民文学出版社"));
    QCOMPARE(at(3, 1), QStringLiteral("C++ <B> & Co"));
    QCOMPARE(at(3, 3), blank);
    QCOMPARE(at(3, 13), QStringLiteral("张三"));
}

void ExportTest::htmlColoursFollowThePalette()
{
    seedThreeBooks();
    start();
    const QString first = folder->path() + QStringLiteral("first.html");
    const QString second = folder->path() + QStringLiteral("second.html");
    inDialog("mfsavehtml", [&](QDialog *dialog) {
        filedialog::setNextFileName(first);
        click(dialog, "button_ok");
        QPalette other = QApplication::palette();
        other.setColor(QPalette::Base, QColor(0x10, 0x20, 0x30));
        other.setColor(QPalette::Text, QColor(0xA0, 0xB0, 0xC0));
        other.setColor(QPalette::Button, QColor(0x40, 0x50, 0x60));
        QApplication::setPalette(other);
        filedialog::setNextFileName(second);
        click(dialog, "button_ok");
    });
    const QByteArray before = readAll(first);
    const QByteArray after = readAll(second);
    QVERIFY(before.contains("class=\"Header\" BGCOLOR=#D4D0C8>"));
    QVERIFY(before.contains("BGCOLOR=#FFFEF0><FONT STYLE="));
    QVERIFY(after.contains("class=\"Header\" BGCOLOR=#405060>"));
    QVERIFY(after.contains("<TR><TD NOWRAP ALIGN=\"RIGHT\" BGCOLOR=#102030><FONT STYLE=\"font-family: " + kSongti +
                           "; font-size: 9pt; color: #A0B0C0\">1</FONT></TD>"));
    QVERIFY(after.contains(".Header{font-family: " + kSongti + "; font-size: 9pt; color: #A0B0C0}\r\n"));
    QVERIFY(after.contains(".Group{font-family: " + kSongti + "; font-size: 9pt; color: #000000}\r\n"));
    QVERIFY(!after.contains("FFFEF0") && !after.contains("D4D0C8") && !after.contains("101820"));
}

void ExportTest::htmlWritesSelectedRowsInSelectionOrder()
{
    seedThreeBooks();
    start();
    const QString selected = folder->path() + QStringLiteral("selected.html");
    const QString all = folder->path() + QStringLiteral("all.html");
    inDialog("mfsavehtml", [&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        auto ctrlClick = [&](int row) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              grid->visualRect(grid->model()->index(row, 1)).center());
        };
        ctrlClick(2);
        ctrlClick(0);
        grid->SaveToHTML(selected, false);
        grid->clearSelection();
        grid->SaveToHTML(all, false);
    });
    QCOMPARE(recordIds(readAll(selected)), (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
    QCOMPARE(recordIds(readAll(all)), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QVERIFY(msg::takeShown().isEmpty());
}
