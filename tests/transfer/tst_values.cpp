// Reading the values of other programs' files: dates, codes, numbers, star
// ratings, shelves, ISBNs, and the headers that find their fields.
#include "tst_transfer.h"

#include "transfer/bookcolumns.h"
#include "transfer/bookexport.h"
#include "transfer/bookvalues.h"

#include <QtTest>

void TransferTest::datesAreRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("iso"); // "" where the text is no date
    const struct
    {
        const char *text, *iso;
    } rows[] = {
        {"2024-05-01", "2024-05-01"},
        {"2024/5/1", "2024-05-01"},
        {"2024.5.1", "2024-05-01"},
        {"2024年5月1日", "2024-05-01"},
        {" 2021/03/15 ", "2021-03-15"},
        {"2024-05-01 10:22:00", "2024-05-01"},
        {"2024-05-01T10:22", "2024-05-01"},
        {"1999", "1999-01-01"},
        {"2024-05", "2024-05-01"},
        {"2024年5月", "2024-05-01"},
        {"0001-01-01", "0001-01-01"},
        {"2024-02-30", ""},
        {"2024/13/01", ""},
        {"05/01/2024", ""},
        {"24-5-1", ""},
        {"2024-05/01", ""},
        {"2024-5-1x", ""},
        {"2024年", ""},
        {"明年春天", ""},
    };
    for (const auto &r : rows)
        QTest::newRow(r.text) << QString::fromUtf8(r.text) << QString::fromUtf8(r.iso);
}

void TransferTest::datesAreRead()
{
    QFETCH(QString, text);
    QFETCH(QString, iso);
    const QDate date = bookvalues::readDate(text);
    QCOMPARE(date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString(), iso);
}

void TransferTest::codesAndNumbersAreRead_data()
{
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // "-" where the text is refused
    const struct
    {
        const char *reading, *text, *value;
    } rows[] = {
        {"rating", "非常喜欢", "1"},
        {"rating", "非常喜爱", "1"},
        {"rating", " 还可以 ", "3"},
        {"rating", "很糟糕", "5"},
        {"rating", "2", "2"},
        {"rating", "7", "7"},
        {"rating", "-1", "-1"},
        {"rating", "great", "-"},
        {"loan", "自己拥有", "1"},
        {"loan", "借入", "2"},
        {"loan", "已借出", "3"},
        {"loan", "借出", "3"},
        {"loan", "0", "0"},
        {"loan", "lent", "-"},
        {"read", "已读", "1"},
        {"read", "未读", "2"},
        {"read", "是", "-"},
        {"stars", "5", "1"},
        {"stars", "4", "2"},
        {"stars", "1", "5"},
        {"stars", "0", "0"},
        {"stars", "6", "-"},
        {"stars", "4.5", "-"},
        {"whole", "304", "304"},
        {"whole", "+5", "5"},
        {"whole", " -12 ", "-12"},
        {"whole", "2147483648", "2147483648"},
        {"whole", "1,606", "-"},
        {"whole", "12.0", "-"},
        {"whole", "99999999999999999999", "-"},
        {"whole", "-", "-"},
        {"shelves", "science-fiction, read", "1 science-fiction"},
        {"shelves", "to-read", "2 "},
        {"shelves", "currently-reading, cyberpunk, classics", "2 cyberpunk"},
        {"shelves", "to-read, READ", "1 "},
        {"shelves", " , ", "0 "},
    };
    for (const auto &r : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(r.reading), QString::fromUtf8(r.text))))
            << QString::fromLatin1(r.reading) << QString::fromUtf8(r.text) << QString::fromUtf8(r.value);
}

void TransferTest::codesAndNumbersAreRead()
{
    QFETCH(QString, reading);
    QFETCH(QString, text);
    QFETCH(QString, value);
    if (reading == QLatin1String("shelves")) {
        const bookvalues::Shelves shelves = bookvalues::readShelves(text);
        QCOMPARE(QStringLiteral("%1 %2").arg(shelves.read).arg(shelves.category), value);
        return;
    }
    const std::optional<qint64> read = reading == QLatin1String("rating")  ? bookvalues::readRating(text)
                                       : reading == QLatin1String("loan")  ? bookvalues::readLoan(text)
                                       : reading == QLatin1String("read")  ? bookvalues::readRead(text)
                                       : reading == QLatin1String("stars") ? bookvalues::readStars(text)
                                                                           : bookvalues::readWhole(text);
    QCOMPARE(read ? QString::number(*read) : QStringLiteral("-"), value);
}

void TransferTest::isbnKeysMatchTheSameBook_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("ISBN-10 and its ISBN-13") << "0-441-47812-3"
                                             << "9780441478125" << true;
    QTest::newRow("hyphens on the other side") << "0441478123"
                                               << "978-0-441-47812-5" << true;
    QTest::newRow("check digit X") << "0-8044-2957-x"
                                   << "9780804429573" << true;
    QTest::newRow("kept as text by a spreadsheet") << "=\"0441478123\""
                                                   << "9780441478125" << true;
    QTest::newRow("blanks") << "978 7 02 000220 7"
                            << "9787020002207" << true;
    QTest::newRow("another book") << "9787020002207"
                                  << "9787020002214" << false;
    QTest::newRow("another ISBN-10") << "0441478123"
                                     << "1441478123" << false;
    QTest::newRow("text that is no ISBN") << "unknown"
                                          << "UNKNOWN" << true;
}

void TransferTest::isbnKeysMatchTheSameBook()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(bookvalues::isbnKey(a) == bookvalues::isbnKey(b), same);
    QVERIFY(!bookvalues::isbnKey(a).isEmpty());
    QVERIFY(bookvalues::isbnKey(QStringLiteral(" - ")).isEmpty());
}

void TransferTest::headersFindTheirFields_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("target");
    const struct
    {
        const char *header, *target;
    } rows[] = {
        {"Title", "书名"},
        {" title ", "书名"},
        {"BOOK_NOTE", "内容简介"},
        {"名称", "书名"},
        {"借阅日期", "借入借出日期"},
        {"Author", "作者"},
        {"Additional Authors", "第二作者"},
        {"ISBN13", "ISBN"},
        {"Publisher", "出版社"},
        {"Year Published", "出版日期"},
        {"Original Publication Year", "出版日期"},
        {"Number of Pages", "页数"},
        {"Date Added", "购买日期"},
        {"Date Read", "是否已读（按读完日期）"},
        {"My Rating", "喜爱程度（按1～5星评分）"},
        {"Bookshelves", "是否已读和分类（按书架）"},
        {"编号", "不导入"},
        {"book_id", "不导入"},
        {"Book Id", "不导入"},
        {"Average Rating", "不导入"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.header) << QString::fromUtf8(r.header) << QString::fromUtf8(r.target);
}

void TransferTest::headersFindTheirFields()
{
    QFETCH(QString, header);
    QFETCH(QString, target);
    QCOMPARE(bookcolumns::caption(bookcolumns::targetOf(header)), target);

    // Every header the export writes reads back as its own column.
    const QStringList written = bookexport::header();
    QCOMPARE(written.size(), bookcolumns::kColumnCount);
    QVERIFY(bookcolumns::isKnownHeader(written[0]));
    for (int c = 1; c < bookcolumns::kColumnCount; ++c)
        QCOMPARE(bookcolumns::columnOf(bookcolumns::targetOf(written[c])), c);
}
