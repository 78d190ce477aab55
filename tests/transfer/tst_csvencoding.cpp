// The encodings of the CSV files read: files in the shape other programs
// write them, the encoding and separator a caller chooses, the names typed
// for an encoding.
#include "tst_transfer.h"

#include "formats/bytesource.h"
#include "formats/csvreader.h"
#include "store/usererror.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

namespace {

QByteArray inEncoding(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        qFatal("the fixture cannot be written in %s", encoding);
    return bytes;
}

// A file whose third record, "𠮷红楼梦,曹雪芹", starts its first character one
// unit before the end of the first block the reader takes, and ends it in
// the second.
QByteArray acrossTwoBlocks(const char *encoding, const QByteArray &mark, qsizetype unit)
{
    const QByteArray head = mark + inEncoding(encoding, QStringLiteral("书名,作者\r\n"));
    const qsizetype fill = (ByteSource::kBlockSize - unit - head.size()) / unit - 4;
    return head + inEncoding(encoding, QString(fill, QLatin1Char('x')) + QStringLiteral(",y\r\n")) +
           inEncoding(encoding, QStringLiteral("𠮷红楼梦,曹雪芹\r\nx,y\r\n"));
}

} // namespace

void TransferTest::realFilesAreReadInTheirEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("record"); // a record, and what it holds
    QTest::addColumn<QString>("holds");

    QTest::newRow("a spreadsheet's plain CSV in Windows-1252")
        << inEncoding("windows-1252",
                      QStringLiteral("Title,Author,Publisher,Year,Price\r\n"
                                     "Perdido Street Station,China Miéville,Macmillan,2000,€8.99\r\n"
                                     "The Scar,China Miéville,Macmillan,2002,€8.99\r\n"
                                     "Les Misérables,Victor Hugo,Gallimard,1862,\r\n"
                                     "“Smilla’s Sense of Snow”,Peter Høeg,Farrar,1993,\r\n"
                                     "Cien años de soledad,Gabriel García Márquez,Sudamericana,1967,\r\n"))
        << "Windows-1252（西欧）"
        << "逗号" << 5 << 3 << "“Smilla’s Sense of Snow”|Peter Høeg|Farrar|1993|";
    QTest::newRow("Latin-1 from an old tool")
        << inEncoding("ISO-8859-1", QStringLiteral("Titre;Auteur\n"
                                                   "L'Étranger;Albert Camus\n"
                                                   "À la recherche du temps perdu;Marcel Proust\n"
                                                   "Les Misérables;Victor Hugo\n"))
        << "Windows-1252（西欧）"
        << "分号" << 3 << 1 << "À la recherche du temps perdu|Marcel Proust";
    QTest::newRow("a GB18030 list with Chinese headers")
        << inEncoding("GB18030",
                      QStringLiteral("书名,作者,出版社,出版年,页数,定价,ISBN,标签\r\n"
                                     "红楼梦,曹雪芹,人民文学出版社,1996,1606,59.70,9787020002207,古典 小说\r\n"
                                     "三体,刘慈欣,重庆出版社,2008,302,23.00,9787536692930,科幻\r\n"
                                     "活着,余华,作家出版社,2012,191,20.00,9787506365437,小说\r\n"
                                     "围城,钱钟书,人民文学出版社,1991,359,19.00,9787020024759,\r\n"))
        << "GB18030"
        << "逗号" << 4 << 1 << "三体|刘慈欣|重庆出版社|2008|302|23.00|9787536692930|科幻";
    QTest::newRow("a spreadsheet's Unicode text: UTF-16LE, tabs")
        << QByteArray("\xFF\xFE") +
               inEncoding("UTF-16LE", QStringLiteral("书名\t作者\t定价\r\n"
                                                     "红楼梦\t曹雪芹\t59.70\r\n"
                                                     "Perdido Street Station\tChina Miéville\t\"8,99 €\"\r\n"))
        << "UTF-16LE（带字节顺序标记）"
        << "制表符" << 2 << 1 << "Perdido Street Station|China Miéville|8,99 €";
    QTest::newRow("a Big5 list") << inEncoding("Big5", QStringLiteral("書名,作者,出版社\r\n"
                                                                      "紅樓夢,曹雪芹,人民文學出版社\r\n"
                                                                      "三體,劉慈欣,重慶出版社\r\n"
                                                                      "許三觀賣血記,余華,麥田出版\r\n"))
                                 << "Big5（繁体中文）"
                                 << "逗号" << 3 << 2 << "許三觀賣血記|余華|麥田出版";
    QTest::newRow("a Shift_JIS list") << inEncoding("Shift_JIS", QStringLiteral("書名,著者\r\n"
                                                                                "吾輩は猫である,夏目漱石\r\n"
                                                                                "ノルウェイの森,村上春樹\r\n"))
                                      << "Shift_JIS（日文）"
                                      << "逗号" << 2 << 1 << "ノルウェイの森|村上春樹";
    // Only the whole header tells the separator.
    QTest::newRow("a header longer than a block")
        << "A" + QByteArray(ByteSource::kBlockSize, 'x') + "\tB;C;D\r\n1\t2;3;4\r\n"
        << "UTF-8"
        << "分号" << 1 << 0 << "1\t2|3|4";
    QTest::newRow("UTF-8, a character across two blocks") << acrossTwoBlocks("UTF-8", {}, 1) << "UTF-8"
                                                          << "逗号" << 3 << 1 << "𠮷红楼梦|曹雪芹";
    QTest::newRow("GB18030, a character across two blocks") << acrossTwoBlocks("GB18030", {}, 1) << "GB18030"
                                                            << "逗号" << 3 << 1 << "𠮷红楼梦|曹雪芹";
    QTest::newRow("UTF-16LE, a character across two blocks")
        << acrossTwoBlocks("UTF-16LE", "\xFF\xFE", 2) << "UTF-16LE（带字节顺序标记）"
        << "逗号" << 3 << 1 << "𠮷红楼梦|曹雪芹";
}

void TransferTest::realFilesAreReadInTheirEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, separator);
    QFETCH(int, records);
    QFETCH(int, record);
    QFETCH(QString, holds);
    const CsvTable table = csvreader::readFile(writeFile(QStringLiteral("books.csv"), bytes));
    QCOMPARE(table.encodingName(), encoding);
    QCOMPARE(table.separatorName(), separator);
    QCOMPARE(table.recordCount(), records);
    QCOMPARE(recordText(table, record), holds);
    QCOMPARE(table.problemCount(), 0);
}

void TransferTest::callersChoiceIsTaken_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding"); // chosen; empty: found
    QTest::addColumn<QString>("separator");   // chosen; empty: found
    QTest::addColumn<QString>("named");       // the encoding and the separator in words
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("first"); // the first record
    QTest::addColumn<QString>("problem");

    const QByteArray gb = QByteArray::fromHex("cae9c3fb2cd7f7d5df0d0abaecc2a5c3ce2cb2dcd1a9c7db0d0a");
    QTest::newRow("Windows-1252 chosen for UTF-8")
        << QStringLiteral("Title\r\nMiéville\r\n").toUtf8() << QByteArray("cp1252") << ""
        << "Windows-1252（西欧） 逗号"
        << "Title"
        << "MiÃ©ville"
        << "";
    QTest::newRow("GB18030 chosen by another name") << gb << QByteArray("GBK") << ""
                                                    << "GB18030 逗号"
                                                    << "书名|作者"
                                                    << "红楼梦|曹雪芹"
                                                    << "";
    // Some byte pairs of GB18030 are UTF-8 too (c2 a5, ¥).
    QTest::newRow("UTF-8 chosen for GB18030")
        << QByteArray("Title,Author\r\n") + gb.mid(11) << QByteArray("UTF-8") << ""
        << "UTF-8 逗号"
        << "Title|Author"
        << "\uFFFD\uFFFD¥\uFFFD\uFFFD|\uFFFD\uFFFD\u0469\uFFFD\uFFFD"
        << "含有不是有效UTF-8编码的字节";
    QTest::newRow("UTF-8 chosen: its mark is skipped") << QByteArray("\xEF\xBB\xBF"
                                                                     "a,b\r\n1,2\r\n")
                                                       << QByteArray("utf8") << ""
                                                       << "UTF-8（带字节顺序标记） 逗号"
                                                       << "a|b"
                                                       << "1|2"
                                                       << "";
    QTest::newRow("Windows-1252 chosen: a UTF-8 mark is letters") << QByteArray("\xEF\xBB\xBF"
                                                                                "a,b\r\n1,2\r\n")
                                                                  << QByteArray("windows-1252") << ""
                                                                  << "Windows-1252（西欧） 逗号"
                                                                  << "ï»¿a|b"
                                                                  << "1|2"
                                                                  << "";
    QTest::newRow("UTF-16 chosen: the mark tells the order")
        << QByteArray("\xFE\xFF") + inEncoding("UTF-16BE", QStringLiteral("a\tb\n1\t2\n")) << QByteArray("unicode")
        << ""
        << "UTF-16BE（带字节顺序标记） 制表符"
        << "a|b"
        << "1|2"
        << "";
    QTest::newRow("UTF-16 chosen for a file without a mark")
        << inEncoding("UTF-16LE", QStringLiteral("书名\t作者\n三体\t刘慈欣\n")) << QByteArray("UTF-16") << ""
        << "UTF-16LE 制表符"
        << "书名|作者"
        << "三体|刘慈欣"
        << "";
    QTest::newRow("a vertical bar chosen")
        << QStringLiteral("书名|作者,译者\r\n三体|刘慈欣\r\n").toUtf8() << QByteArray() << "|"
        << "UTF-8 竖线"
        << "书名|作者,译者"
        << "三体|刘慈欣"
        << "";
    QTest::newRow("a tab chosen in a file of commas") << QByteArray("a,b\tc\r\n1,2\t3\r\n") << QByteArray() << "\t"
                                                      << "UTF-8 制表符"
                                                      << "a,b|c"
                                                      << "1,2|3"
                                                      << "";
}

void TransferTest::callersChoiceIsTaken()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(QString, separator);
    QFETCH(QString, named);
    QFETCH(QString, header);
    QFETCH(QString, first);
    QFETCH(QString, problem);
    CsvOptions options;
    options.encoding = encoding;
    if (!separator.isEmpty())
        options.separator = separator[0];
    const CsvTable table = csvreader::parse(bytes, QStringLiteral("books.csv"), options);
    QCOMPARE(table.encodingName() + QLatin1Char(' ') + table.separatorName(), named);
    QCOMPARE(recordText(table, -1), header);
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(recordText(table, 0), first);
    QCOMPARE(table.problem(0), problem);
}

void TransferTest::encodingNamesAreUnderstood_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("encoding");

    for (const CsvEncodingChoice &choice : csvreader::encodingChoices())
        QTest::newRow(choice.id.constData()) << QString::fromLatin1(choice.id) << choice.id;
    QTest::newRow("utf8") << "utf8" << QByteArray("UTF-8");
    QTest::newRow("GBK") << "GBK" << QByteArray("GB18030");
    QTest::newRow("gb2312") << "gb2312" << QByteArray("GB18030");
    QTest::newRow("cp1252") << "cp1252" << QByteArray("windows-1252");
    QTest::newRow("Latin1") << " Latin1 " << QByteArray("ISO-8859-1");
    QTest::newRow("Shift-JIS") << "Shift-JIS" << QByteArray("Shift_JIS");
    QTest::newRow("sjis") << "sjis" << QByteArray("Shift_JIS");
    QTest::newRow("utf-16le") << "utf-16le" << QByteArray("UTF-16LE");
    QTest::newRow("Unicode") << "Unicode" << QByteArray("UTF-16");
    QTest::newRow("one the decoder knows") << "windows-1251" << QByteArray("windows-1251");
    QTest::newRow("one nobody knows") << "klingon" << QByteArray();
    QTest::newRow("nothing") << "" << QByteArray();
}

void TransferTest::encodingNamesAreUnderstood()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, encoding);
    QCOMPARE(csvreader::encodingFromName(typed), encoding);
    if (!encoding.isEmpty())
        QVERIFY(QStringDecoder(encoding.constData()).isValid());
}
