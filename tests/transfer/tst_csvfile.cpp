// The CSV format: what the writer writes, what the reader makes of a file's
// bytes, and the files the import refuses, each named in its message.
#include "tst_transfer.h"

#include "components/filedialog.h"
#include "formats/csvreader.h"
#include "formats/csvwriter.h"
#include "store/usererror.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QtTest>

namespace {

// A field that holds no value, in the tables below.
const QString kNone;

// A record as the tables below write it: fields joined by "|", a quoted
// empty field as "".
QString record(const CsvTable &table, int r)
{
    QStringList fields;
    for (int c = 0; c < table.fieldCount(r); ++c)
        fields << (table.field(r, c).isEmpty() && table.isQuoted(r, c) ? QStringLiteral("\"\"")
                                                                       : table.field(r, c).toString());
    return fields.join(QLatin1Char('|'));
}

} // namespace

void TransferTest::writerQuotesAsRfc4180_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QStringList{"a", "b c"} << QByteArray("a,b c\r\n");
    QTest::newRow("comma") << QStringList{"a,b", "c"} << QByteArray("\"a,b\",c\r\n");
    QTest::newRow("quotes doubled") << QStringList{"say \"hi\"", "\""} << QByteArray("\"say \"\"hi\"\"\",\"\"\"\"\r\n");
    QTest::newRow("line breaks") << QStringList{"x\r\ny", "z\nw", "cr\r"}
                                 << QByteArray("\"x\r\ny\",\"z\nw\",\"cr\r\"\r\n");
    QTest::newRow("no value and an empty text") << QStringList{kNone, "", kNone} << QByteArray(",\"\",\r\n");
    QTest::newRow("blanks, tabs and semicolons as they are")
        << QStringList{" a ", "b\tc;d"} << QByteArray(" a ,b\tc;d\r\n");
    QTest::newRow("beyond GBK, in UTF-8") << QStringList{"吉野家𠮷📚"}
                                          << QByteArray("\xE5\x90\x89\xE9\x87\x8E\xE5\xAE\xB6\xF0\xA0\xAE\xB7"
                                                        "\xF0\x9F\x93\x9A\r\n");
}

void TransferTest::writerQuotesAsRfc4180()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, bytes);
    QByteArray out;
    CsvWriter writer(out);
    for (const QString &f : fields) {
        if (f.isNull())
            writer.none();
        else
            writer.text(f.toUtf8());
    }
    writer.endRecord();
    QCOMPARE(out, bytes);
    // What the writer writes, the reader reads back the same.
    const CsvTable table = csvreader::parse("h1,h2,h3\r\n" + out, QStringLiteral("back.csv"));
    QCOMPARE(table.recordCount(), 1);
    for (int c = 0; c < fields.size(); ++c) {
        const QString &f = fields[c];
        const bool special = f.isEmpty() || f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
                             f.contains(QLatin1Char('\r')) || f.contains(QLatin1Char('\n'));
        QCOMPARE(table.field(0, c).toString(), f.isNull() ? QString() : f);
        QCOMPARE(table.isQuoted(0, c), !f.isNull() && special);
    }
}

void TransferTest::readerFindsEncodingAndSeparator_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("first");

    const QByteArray utf8 = QStringLiteral("书名,作者\r\n红楼梦,曹雪芹\r\n").toUtf8();
    QTest::newRow("UTF-8") << utf8 << "UTF-8"
                           << "逗号"
                           << "书名|作者"
                           << "红楼梦|曹雪芹";
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF") + utf8 << "UTF-8（带字节顺序标记）"
                                         << "逗号"
                                         << "书名|作者"
                                         << "红楼梦|曹雪芹";
    QTest::newRow("plain ASCII") << QByteArray("Title;Author\nDune;Frank Herbert\n") << "UTF-8"
                                 << "分号"
                                 << "Title|Author"
                                 << "Dune|Frank Herbert";
    // 书名,作者 / 红楼梦,曹雪芹𠮷 in GB18030, the last a four-byte character.
    QTest::newRow("GB18030") << QByteArray::fromHex("cae9c3fb2cd7f7d5df0d0a"
                                                    "baecc2a5c3ce2cb2dcd1a9c7db9534b2350d0a")
                             << "GB18030"
                             << "逗号"
                             << "书名|作者"
                             << "红楼梦|曹雪芹𠮷";
    QTest::newRow("tabs, with commas in the values")
        << QByteArray("Title\tAuthor\tISBN\r\nNeuromancer, Special\tGibson, William\t0441569595\r\n") << "UTF-8"
        << "制表符"
        << "Title|Author|ISBN"
        << "Neuromancer, Special|Gibson, William|0441569595";
    QTest::newRow("semicolons, with commas in the values")
        << QByteArray("Title;Author\r\n\"A;B\";Le Guin, Ursula\r\n") << "UTF-8"
        << "分号"
        << "Title|Author"
        << "A;B|Le Guin, Ursula";
    QTest::newRow("a separator inside quotes does not count") << QByteArray("\"a;b;c\",Author\r\nx,y\r\n") << "UTF-8"
                                                              << "逗号"
                                                              << "a;b;c|Author"
                                                              << "x|y";
    QTest::newRow("one column") << QByteArray("Title\r\nDune\r\n") << "UTF-8"
                                << "逗号"
                                << "Title"
                                << "Dune";
}

void TransferTest::readerFindsEncodingAndSeparator()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, separator);
    QFETCH(QString, header);
    QFETCH(QString, first);
    const CsvTable table = csvreader::parse(bytes, QStringLiteral("books.csv"));
    QCOMPARE(table.encodingName(), encoding);
    QCOMPARE(table.separatorName(), separator);
    QCOMPARE(record(table, -1), header);
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(record(table, 0), first);
}

void TransferTest::readerSplitsFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records"); // the records after the header
    QTest::addColumn<QList<int>>("lines");    // the line each starts on

    QTest::newRow("quoted line breaks and doubled quotes")
        << QByteArray("a,b,c\r\n1,\"two\r\nlines\",\"say \"\"x\"\"\"\r\n2,,\"\"\r\n")
        << QStringList{"1|two\r\nlines|say \"x\"", "2||\"\""} << QList<int>{2, 4};
    QTest::newRow("line feeds only, no last line break")
        << QByteArray("a,b\n1,2\n3,4") << QStringList{"1|2", "3|4"} << QList<int>{2, 3};
    QTest::newRow("carriage returns only")
        << QByteArray("a,b\r1,\"x\ry\"\r3,4\r") << QStringList{"1|x\ry", "3|4"} << QList<int>{2, 4};
    QTest::newRow("blank lines are no records")
        << QByteArray("\r\n\r\na,b\r\n\r\n1,2\r\n\r\n") << QStringList{"1|2"} << QList<int>{5};
    QTest::newRow("empty fields past the header are dropped")
        << QByteArray("a,b\r\n1,2,,\r\n") << QStringList{"1|2"} << QList<int>{2};
    QTest::newRow("fewer fields than the header") << QByteArray("a,b,c\r\n1\r\n") << QStringList{"1"} << QList<int>{2};
    QTest::newRow("a quote inside a plain field is a character")
        << QByteArray("a,b\r\n5\" disk,x\"y\r\n") << QStringList{"5\" disk|x\"y"} << QList<int>{2};
    QTest::newRow("text after a closing quote is kept")
        << QByteArray("a,b\r\n\"ab\"c,\"x\"\"\" \r\n") << QStringList{"abc|x\" "} << QList<int>{2};
    QTest::newRow("blanks around fields are kept")
        << QByteArray("a,b\r\n  x , y\r\n") << QStringList{"  x | y"} << QList<int>{2};
}

void TransferTest::readerSplitsFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QFETCH(QList<int>, lines);
    const CsvTable table = csvreader::parse(bytes, QStringLiteral("books.csv"));
    QStringList read;
    QList<int> starts;
    for (int r = 0; r < table.recordCount(); ++r) {
        read << record(table, r);
        starts << table.line(r);
    }
    QCOMPARE(read, records);
    QCOMPARE(starts, lines);
}

void TransferTest::badFileIsRefusedByName_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file; "<folder>": a folder
    QTest::addColumn<QString>("told");

    const QByteArray header = QStringLiteral("书名,作者\r\n").toUtf8();
    QTest::newRow("empty") << QByteArray() << "文件是空的";
    QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\t\n") << "文件是空的";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20) << "不是文本文件";
    QTest::newRow("control characters") << QByteArray(200, '\x01') + header << "不是文本文件";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE\x66\x00\x6F\x00", 6) << "UTF-16";
    QTest::newRow("UTF-8 mark, then a bad byte")
        << QByteArray("\xEF\xBB\xBF") + header + QByteArray("\xE7\xBA\xA2\xFF,x\r\n") << "第2行有不是有效UTF-8的字节";
    QTest::newRow("UTF-8 damaged in one place")
        << header + QStringLiteral("红楼梦,曹雪芹\r\n西游记,吴承恩\r\n").toUtf8() + QByteArray("\xC3(,x\r\n")
        << "第4行有不是有效UTF-8的字节";
    QTest::newRow("neither UTF-8 nor GB18030")
        << QByteArray::fromHex("cae9c3fb2cd7f7d5df0d0a") + QByteArray("\x81\x20,x\r\n")
        << "也不是有效的GB18030文本（第2行";
    QTest::newRow("no header the program knows") << QByteArray("foo,bar\r\n1,2\r\n") << "不是可以识别的标题行";
    QTest::newRow("only the header") << header << "只有标题行";
    QTest::newRow("more fields than the header")
        << header + QStringLiteral("甲,乙\r\n丙,丁,戊\r\n").toUtf8() << "第3行有3个字段，比标题行的2个多";
    QTest::newRow("a quote never closed")
        << header + QStringLiteral("甲,\"乙\r\n丙,丁\r\n").toUtf8() << "第2行开始的引号直到文件末尾也没有结束";
    QTest::newRow("no such file") << QByteArray("<none>") << "找不到文件";
    QTest::newRow("a folder") << QByteArray("<folder>") << "这是一个文件夹";
}

void TransferTest::badFileIsRefusedByName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    seed(QStringLiteral("insert into book (book_name, book_loan) values ('红楼梦', 1)"));
    const QStringList before = storedBooks();
    QString path = folder->path() + QStringLiteral("书单.csv");
    if (bytes == "<folder>")
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("书单.csv")));
    else if (bytes != "<none>")
        writeFile(QStringLiteral("书单.csv"), bytes);
    start();

    // The file is refused before the import window: should the window open
    // all the same, it is closed and the case fails.
    bool opened = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->reject();
        }
    });
    closer.start(20);
    filedialog::setNextFileName(path);
    trigger("mfimportcsv");
    closer.stop();
    QVERIFY(!opened);

    const QString message = onlyMessage();
    QVERIFY2(message.contains(
                 QStringLiteral("“书单.csv”（文件夹：%1）").arg(QDir::toNativeSeparators(folder->path().chopped(1)))),
             qPrintable(message));
    QVERIFY2(message.contains(told), qPrintable(message));
    QCOMPARE(storedBooks(), before);
    QCOMPARE(query(QStringLiteral("select count(*) from author")), QStringList{"0"});
}
