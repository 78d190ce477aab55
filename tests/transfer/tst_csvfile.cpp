// The CSV format: what the writer writes, what the reader makes of a file's
// bytes, and the files the import refuses, each named in its message.
#include "tst_transfer.h"

#include "components/filedialog.h"
#include "formats/bytesource.h"
#include "formats/csvreader.h"
#include "formats/csvwriter.h"
#include "store/usererror.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QStringEncoder>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

QString recordText(const CsvTable &table, int record)
{
    QStringList fields;
    for (int c = 0; c < table.fieldCount(record); ++c)
        fields << (table.field(record, c).isEmpty() && table.isQuoted(record, c) ? QStringLiteral("\"\"")
                                                                                 : table.field(record, c).toString());
    return fields.join(QLatin1Char('|'));
}

namespace {

// A field that holds no value, in the tables below.
const QString kNone;

QString record(const CsvTable &table, int r)
{
    return recordText(table, r);
}

QByteArray inEncoding(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
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
    // A spreadsheet's "Unicode text": UTF-16 with its mark, tabs between.
    QTest::newRow("UTF-16LE with its mark")
        << QByteArray("\xFF\xFE") + inEncoding("UTF-16LE", QStringLiteral("书名\t作者\r\n红楼梦\t曹雪芹\r\n"))
        << "UTF-16LE（带字节顺序标记）"
        << "制表符"
        << "书名|作者"
        << "红楼梦|曹雪芹";
    QTest::newRow("UTF-16BE with its mark")
        << QByteArray("\xFE\xFF") + inEncoding("UTF-16BE", QStringLiteral("书名\t作者\n𠮷\t\"a\tb\"\n"))
        << "UTF-16BE（带字节顺序标记）"
        << "制表符"
        << "书名|作者"
        << "𠮷|a\tb";
    // 书名 / 红楼梦 in GB18030: too little for a statistical guess, but the
    // bytes pair up as common Chinese characters.
    QTest::newRow("GB18030, two words") << QByteArray::fromHex("cae9c3fb0d0abaecc2a5c3ce0d0a") << "GB18030"
                                        << "逗号"
                                        << "书名"
                                        << "红楼梦";
    QTest::newRow("Windows-1252, one accented letter")
        << QByteArray("Title,Author\r\nPerdido Street Station,China Mi\xE9ville\r\n") << "Windows-1252（西欧）"
        << "逗号"
        << "Title|Author"
        << "Perdido Street Station|China Miéville";
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
    QTest::newRow("a Ctrl-Z at the end ends the file")
        << QByteArray("a,b\r\n1,2\r\n\x1A") << QStringList{"1|2"} << QList<int>{2};
    QTest::newRow("a Ctrl-Z right after the last field")
        << QByteArray("a,b\n1,\"2\"\x1A\x1A") << QStringList{"1|2"} << QList<int>{2};
    QTest::newRow("a Ctrl-Z inside the file is a character")
        << QByteArray("a,b\n1\x1A,2\n") << QStringList{"1\x1A|2"} << QList<int>{2};
    QStringList most;
    for (int c = 0; c < csvreader::kMostColumns; ++c)
        most << QStringLiteral("c%1").arg(c);
    QTest::newRow("a header of the most columns there may be") << most.join(QLatin1Char(',')).toLatin1() + "\r\nx\r\n"
                                                               << QStringList{"x"} << QList<int>{2};
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

void TransferTest::recordsAcrossBlocksAreWhole_data()
{
    QTest::addColumn<QByteArray>("tail"); // the records that the first block read ends in
    QTest::addColumn<int>("cut");         // where in them it ends
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QList<int>>("lines");

    QTest::newRow("in a doubled quote") << QByteArray("\"say \"\"hi\"\"\",z\n") << 6 << QStringList{"say \"hi\"|z"}
                                        << QList<int>{3};
    QTest::newRow("after a closing quote") << QByteArray("\"ab\",c\n") << 4 << QStringList{"ab|c"} << QList<int>{3};
    QTest::newRow("after an opening quote") << QByteArray("1,\"2\"\n") << 3 << QStringList{"1|2"} << QList<int>{3};
    QTest::newRow("after a separator") << QByteArray("1,2\n") << 2 << QStringList{"1|2"} << QList<int>{3};
    QTest::newRow("in a CR LF") << QByteArray("1,2\r\n3,4\r\n") << 4 << QStringList{"1|2", "3|4"} << QList<int>{3, 4};
    QTest::newRow("in a CR LF inside quotes")
        << QByteArray("\"x\r\ny\",z\r\n5,6\n") << 3 << QStringList{"x\r\ny|z", "5|6"} << QList<int>{3, 5};
    QTest::newRow("after a Ctrl-Z that more text follows")
        << QByteArray("1,2\r\n\x1A\r\n3,4\n") << 6 << QStringList{"1|2", "\x1A", "3|4"} << QList<int>{3, 4, 5};
}

void TransferTest::recordsAcrossBlocksAreWhole()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, cut);
    QFETCH(QStringList, records);
    QFETCH(QList<int>, lines);
    const QByteArray head = "a,b\n";
    const QByteArray filler = QByteArray(ByteSource::kBlockSize - head.size() - 3 - cut, 'x') + ",y\n";
    const CsvTable table = csvreader::readFile(writeFile(QStringLiteral("books.csv"), head + filler + tail));
    QStringList read;
    QList<int> starts;
    for (int r = 1; r < table.recordCount(); ++r) {
        read << record(table, r);
        starts << table.line(r);
    }
    QCOMPARE(read, records);
    QCOMPARE(starts, lines);
    QCOMPARE(table.field(0, 1), QStringView(u"y"));
}

void TransferTest::badRecordCostsOnlyItself_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<int>("records");
    // Each record with a problem: its line, the problem, its fields.
    QTest::addColumn<QStringList>("problems");

    QByteArray list = "Title,Author,Year\r\n";
    for (int r = 0; r < 998; ++r)
        list += r == 499 ? QByteArray("Dune, the novel,Frank Herbert,1965\r\n")
                         : QStringLiteral("Book %1,Author %1,%2\r\n").arg(r).arg(1900 + r % 100).toLatin1();
    QTest::newRow("an unquoted comma in a list of 998")
        << list << "UTF-8" << 998 << QStringList{"501 有4个字段，比标题行的3个多 Dune| the novel|Frank Herbert|1965"};

    // 220 KB of a UTF-8 list, separated by tabs, with three stray bytes.
    QByteArray tsv = QStringLiteral("书名\t作者\t出版社\t标签\n").toUtf8();
    for (int r = 0; r < 2500; ++r) {
        QByteArray row =
            QStringLiteral("红楼梦（第%1卷）\t曹雪芹\t人民文学出版社\t古典 小说 名著 中国文学\n").arg(r).toUtf8();
        if (r == 0)
            row.insert(3, '\xFF');
        if (r == 1250)
            row.replace("\t\xE6\x9B\xB9", "\t\xF9"); // a Latin-1 ù for 曹
        if (r == 2499)
            row.insert(row.size() - 1, '\x80');
        tsv += row;
    }
    QVERIFY(tsv.size() > 200 * 1024);
    const QString invalid = QStringLiteral("含有不是有效UTF-8编码的字节");
    QTest::newRow("three stray bytes in 220 KB of UTF-8")
        << tsv << "UTF-8" << 2500
        << QStringList{"2 " + invalid +
                           QStringLiteral(" 红\uFFFD楼梦（第0卷）|曹雪芹|人民文学出版社|古典 小说 名著 中国文学"),
                       "1252 " + invalid +
                           QStringLiteral(" 红楼梦（第1250卷）|\uFFFD雪芹|人民文学出版社|古典 小说 名著 中国文学"),
                       "2501 " + invalid +
                           QStringLiteral(" 红楼梦（第2499卷）|曹雪芹|人民文学出版社|古典 小说 名著 中国文学\uFFFD")};

    const QByteArray header = QStringLiteral("书名,作者\r\n").toUtf8();
    QTest::newRow("a UTF-8 mark, then a bad byte")
        << QByteArray("\xEF\xBB\xBF") + header + QByteArray("\xE7\xBA\xA2\xFF,x\r\ny,z\r\n")
        << "UTF-8（带字节顺序标记）" << 2 << QStringList{"2 " + invalid + QStringLiteral(" 红\uFFFD|x")};
    QTest::newRow("UTF-8 damaged in one place")
        << header + QStringLiteral("红楼梦,曹雪芹\r\n西游记,吴承恩\r\n").toUtf8() + QByteArray("\xC3(,x\r\n") << "UTF-8"
        << 3 << QStringList{"4 " + invalid + QStringLiteral(" \uFFFD(|x")};
    QTest::newRow("a UTF-8 character cut off at the end")
        << header + QStringLiteral("红楼梦,曹雪芹\r\n西游记,吴承恩\r\n").toUtf8() + QByteArray("x,\xE5\x90") << "UTF-8"
        << 3 << QStringList{"4 " + invalid + QStringLiteral(" x|\uFFFD")};
    QTest::newRow("old Mac line ends, a field over two lines, one field too many")
        << QByteArray("Title,Author\r\"Two\rlines\",A\rX,Y,Z\r\rLast,One\r") << "UTF-8" << 3
        << QStringList{"4 有3个字段，比标题行的2个多 X|Y|Z"};
    QTest::newRow("a bad byte on the second line of a field")
        << header + QStringLiteral("\"x\ny\uFFFDz\",红楼梦\n2,曹雪芹\n").toUtf8().replace("\xEF\xBF\xBD", "\xFF")
        << "UTF-8" << 2 << QStringList{"2 " + invalid + QStringLiteral(" x\ny\uFFFDz|红楼梦")};
    QTest::newRow("two problems in one record")
        << header + QStringLiteral("红楼梦,曹雪芹,").toUtf8() + "\xFF\n" + QStringLiteral("西游记,吴承恩\n").toUtf8()
        << "UTF-8" << 2
        << QStringList{"2 有3个字段，比标题行的2个多；" + invalid + QStringLiteral(" 红楼梦|曹雪芹|\uFFFD")};

    // A GB18030 list with a byte pair that GB18030 has no character for.
    QByteArray gb = inEncoding("GB18030", QStringLiteral("书名,作者,出版社\r\n"));
    for (int r = 0; r < 20; ++r)
        gb += inEncoding("GB18030", QStringLiteral("三体%1,刘慈欣,重庆出版社\r\n").arg(r));
    gb += "\x81\x20,x,y\r\n";
    QTest::newRow("GB18030 with a byte pair it cannot read")
        << gb << "GB18030" << 21 << QStringList{QStringLiteral("22 含有不是有效GB18030编码的字节 \uFFFD |x|y")};
}

void TransferTest::badRecordCostsOnlyItself()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(int, records);
    QFETCH(QStringList, problems);
    const CsvTable table = csvreader::readFile(writeFile(QStringLiteral("books.csv"), bytes));
    QCOMPARE(table.encodingName(), encoding);
    QCOMPARE(table.recordCount(), records);
    QStringList found;
    for (int r = 0; r < table.recordCount(); ++r)
        if (!table.problem(r).isEmpty())
            found << QStringLiteral("%1 %2 %3").arg(table.line(r)).arg(table.problem(r), record(table, r));
    QCOMPARE(found, problems);
    QCOMPARE(table.problemCount(), problems.size());
}

void TransferTest::readerRefusesWhatIsNoTable_data()
{
    QTest::addColumn<QString>("made"); // how the file is made
    QTest::addColumn<QString>("told");

    QTest::newRow("a named pipe without a writer") << "fifo"
                                                   << "它不是普通文件，而是命名管道";
    QTest::newRow("a device") << "/dev/zero"
                              << "它不是普通文件，而是字符设备";
    QTest::newRow("below a regular file") << "below"
                                          << "路径中有一段不是文件夹";
    QTest::newRow("more than 1 GB") << "huge"
                                    << "文件超过1 GB";
    QTest::newRow("a header of 200000 columns") << "columns 200000"
                                                << "标题行有200000列，超过了2000列的上限";
    QTest::newRow("a header of 2001 columns") << "columns 2001"
                                              << "标题行有2001列，超过了2000列的上限";
    QTest::newRow("zero characters in UTF-16") << "utf16 zeros"
                                               << "它不是文本文件";
    QTest::newRow("a quote never closed, old Mac line ends") << "quote"
                                                             << "第3行开始的引号直到文件末尾也没有结束";
    QTest::newRow("an encoding nobody knows") << "encoding"
                                              << "不认识编码“klingon”";
    QTest::newRow("a quote as the separator") << "separator"
                                              << "不能用“\"”作分隔符";
}

void TransferTest::readerRefusesWhatIsNoTable()
{
    QFETCH(QString, made);
    QFETCH(QString, told);
    QString path = folder->path() + QStringLiteral("books.csv");
    CsvOptions options;
    if (made == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (made.startsWith(QLatin1Char('/'))) {
        path = made;
    } else if (made == QLatin1String("below")) {
        path = writeFile(QStringLiteral("plain.txt"), "x") + QStringLiteral("/books.csv");
    } else if (made == QLatin1String("huge")) {
        QFile file(path); // sparse: no gigabyte is written
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((qint64(1) << 30) + 1));
    } else if (made.startsWith(QLatin1String("columns "))) {
        QByteArray header = "c";
        for (int c = 1; c < made.mid(8).toInt(); ++c)
            header += ",c";
        writeFile(QStringLiteral("books.csv"), header + "\r\n1,2\r\n");
    } else if (made == QLatin1String("utf16 zeros")) {
        writeFile(QStringLiteral("books.csv"), QByteArray("\xFF\xFEt\0i\0\0\0\0\0", 10));
    } else if (made == QLatin1String("quote")) {
        writeFile(QStringLiteral("books.csv"), "Title,Author\rDune,Herbert\r\"Emma,Austen\rX,Y\r");
    } else {
        writeFile(QStringLiteral("books.csv"), "Title,Author\r\nDune,Herbert\r\n");
        if (made == QLatin1String("encoding"))
            options.encoding = "klingon";
        else
            options.separator = QLatin1Char('"');
    }
    try {
        csvreader::readFile(path, options);
        QFAIL("the file was read");
    } catch (const UserError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("“%1”").arg(QFileInfo(path).fileName())), qPrintable(e.message()));
        QVERIFY2(e.message().contains(told), qPrintable(e.message()));
    }
}

void TransferTest::sourceReadsTheSizeItWasOpenedWith()
{
    const QString path = writeFile(QStringLiteral("growing.csv"), "a,b\n1,2\n");
    const ByteSource source(path, 1 << 20);
    auto read = [&] {
        QByteArray all;
        source.forEachBlock([&](QByteArrayView block) {
            all += block;
            return true;
        });
        return all;
    };
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("3,4\n");
    file.flush();
    QCOMPARE(read(), QByteArray("a,b\n1,2\n"));
    QVERIFY(file.resize(4));
    try {
        read();
        QFAIL("a file that became shorter was read");
    } catch (const UserError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("“growing.csv”")) &&
                     e.message().contains(QStringLiteral("文件在读取的时候变短了")),
                 qPrintable(e.message()));
    }
}

void TransferTest::badFileIsRefusedByName_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file; "<folder>": a folder; "<fifo>": a named pipe
    QTest::addColumn<QString>("told");

    const QByteArray header = QStringLiteral("书名,作者\r\n").toUtf8();
    QTest::newRow("empty") << QByteArray() << "文件是空的";
    QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\t\n") << "文件是空的";
    QTest::newRow("only a Ctrl-Z") << QByteArray("\x1A\r\n") << "文件是空的";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20) << "不是文本文件";
    QTest::newRow("control characters") << QByteArray(200, '\x01') + header << "不是文本文件";
    QTest::newRow("no header the program knows") << QByteArray("foo,bar\r\n1,2\r\n") << "不是可以识别的标题行";
    QTest::newRow("only the header") << header << "只有标题行";
    QTest::newRow("a quote never closed")
        << header + QStringLiteral("甲,\"乙\r\n丙,丁\r\n").toUtf8() << "第2行开始的引号直到文件末尾也没有结束";
    QTest::newRow("no such file") << QByteArray("<none>") << "找不到文件";
    QTest::newRow("a folder") << QByteArray("<folder>") << "这是一个文件夹";
    QTest::newRow("a named pipe") << QByteArray("<fifo>") << "它不是普通文件，而是命名管道";
    QTest::newRow("a header of 200000 columns") << QByteArray(200000, 'x').replace("x", "c,").chopped(1) + "\r\n1\r\n"
                                                << "标题行有200000列";
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
    else if (bytes == "<fifo>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
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
