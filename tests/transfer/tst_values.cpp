// Reading the values of other programs' files: dates, codes, numbers, star
// ratings, shelves, ISBNs, and the headers that find their fields.
#include "tst_transfer.h"

#include "catalogue/bookcolumns.h"
#include "catalogue/bookexport.h"
#include "catalogue/bookvalues.h"
#include "formats/formulaguard.h"

#include <QtTest>

void TransferTest::datesAreRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("order"); // "", "dmy", "mdy" or "ymd"
    QTest::addColumn<QString>("iso");   // "" where the text is no date
    QTest::addColumn<QString>("hint");  // what it tells of its column's order
    const struct
    {
        const char *text, *order, *iso, *hint;
    } rows[] = {
        {"2024-05-01", "", "2024-05-01", ""},
        {"2024/5/1", "", "2024-05-01", ""},
        {"2024.5.1", "", "2024-05-01", ""},
        {"2024年5月1日", "", "2024-05-01", ""},
        {" 2021/03/15 ", "", "2021-03-15", ""},
        {"2024-05-01 10:22:00", "", "2024-05-01", ""},
        {"2024-05-01T10:22", "", "2024-05-01", ""},
        {"2008-01-01T00:00:00+00:00", "", "2008-01-01", ""},
        {"2019/07/04 9:05 PM", "", "2019-07-04", ""},
        {"1999", "", "1999-01-01", ""},
        {"974", "", "0974-01-01", ""},
        {"2024-05", "", "2024-05-01", ""},
        {"2024年5月", "", "2024-05-01", ""},
        {"0001-01-01", "", "0001-01-01", ""},
        {"07.09.2020", "", "2020-09-07", ""},
        {"7.9.2020", "mdy", "2020-09-07", ""},
        {"13/04/2020", "", "2020-04-13", "day"},
        {"04/13/2020", "", "2020-04-13", "month"},
        {"03/04/2020", "", "", "either"},
        {"03/04/2020", "dmy", "2020-04-03", "either"},
        {"03/04/2020", "mdy", "2020-03-04", "either"},
        {"03/04/2020", "ymd", "", "either"},
        {"3-4-2020", "mdy", "2020-03-04", "either"},
        {"05/05/2020", "", "2020-05-05", ""},
        {"Sep 7, 2020", "", "2020-09-07", ""},
        {"September 7 2020", "", "2020-09-07", ""},
        {"7 Sept 2020", "", "2020-09-07", ""},
        {"Sep 2020", "", "2020-09-01", ""},
        {"2024-02-30", "", "", ""},
        {"2024/13/01", "", "", ""},
        {"13/13/2020", "", "", ""},
        {"24-5-1", "", "", ""},
        {"2024-05/01", "", "", ""},
        {"2024-5-1x", "", "", ""},
        {"2023-01-02 garbage", "", "", ""},
        {"2024-05-01 25", "", "", ""},
        {"2024年", "", "", ""},
        {"-600", "", "", ""},
        {"12", "", "", ""},
        {"20240501", "", "", ""},
        {"Smarch 7, 2020", "", "", ""},
        {"明年春天", "", "", ""},
    };
    for (const auto &r : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QString::fromUtf8(r.text), QLatin1String(r.order))))
            << QString::fromUtf8(r.text) << QString::fromLatin1(r.order) << QString::fromUtf8(r.iso)
            << QString::fromLatin1(r.hint);
}

void TransferTest::datesAreRead()
{
    QFETCH(QString, text);
    QFETCH(QString, order);
    QFETCH(QString, iso);
    QFETCH(QString, hint);
    using bookvalues::DateHint;
    using bookvalues::DateOrder;
    const DateOrder o = order == u"dmy"   ? DateOrder::Dmy
                        : order == u"mdy" ? DateOrder::Mdy
                        : order == u"ymd" ? DateOrder::Ymd
                                          : DateOrder::Unknown;
    DateHint told = DateHint::None;
    const QDate date = bookvalues::readDate(text, o, &told);
    QCOMPARE(date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString(), iso);
    const QString toldText = told == DateHint::DayFirst     ? QStringLiteral("day")
                             : told == DateHint::MonthFirst ? QStringLiteral("month")
                             : told == DateHint::Either     ? QStringLiteral("either")
                                                            : QString();
    QCOMPARE(toldText, hint);
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
        {"stars", "3.5", "2"},
        {"stars", "4.5", "1"},
        {"stars", "2,5", "3"},
        {"stars", "0.4", "0"},
        {"stars", "4.0", "2"},
        {"stars", "-1", "-"},
        {"stars", "five", "-"},
        {"points", "10", "1"},
        {"points", "8", "2"},
        {"points", "7", "2"},
        {"points", "1", "5"},
        {"points", "0", "0"},
        {"points", "11", "-"},
        {"flag", "1", "1"},
        {"flag", "TRUE", "1"},
        {"flag", "0", "2"},
        {"flag", "no", "2"},
        {"flag", "未读", "2"},
        {"flag", "maybe", "-"},
        {"shelf", "read", "1"},
        {"shelf", "to-read", "2"},
        {"shelf", "currently-reading", "2"},
        {"shelf", "to-read-non-fiction", "2"},
        {"shelf", "wont-finish", "2"},
        {"shelf", " ", "0"},
        {"shelf", "science-fiction, READ", "1"},
        {"shelf", "cyberpunk, currently-reading", "2"},
        {"whole", "304", "304"},
        {"whole", "+5", "5"},
        {"whole", " -12 ", "-12"},
        {"whole", "2147483648", "2147483648"},
        {"whole", "1,606", "-"},
        {"whole", "12.0", "-"},
        {"whole", "99999999999999999999", "-"},
        {"whole", "-", "-"},
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
    if (reading == QLatin1String("shelf")) {
        QCOMPARE(QString::number(bookvalues::readShelf(text)), value);
        return;
    }
    const std::optional<qint64> read = reading == QLatin1String("rating")   ? bookvalues::readRating(text)
                                       : reading == QLatin1String("loan")   ? bookvalues::readLoan(text)
                                       : reading == QLatin1String("read")   ? bookvalues::readRead(text)
                                       : reading == QLatin1String("stars")  ? bookvalues::readStars(text)
                                       : reading == QLatin1String("points") ? bookvalues::readStars(text, 10)
                                       : reading == QLatin1String("flag")   ? bookvalues::readFlag(text)
                                                                            : bookvalues::readWhole(text);
    QCOMPARE(read ? QString::number(*read) : QStringLiteral("-"), value);
}

void TransferTest::namesAndTextsAreSplit_data()
{
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parts"); // joined by " / "
    QTest::newRow("authors by &") << "names"
                                  << "Terry Pratchett & Neil Gaiman"
                                  << "Terry Pratchett / Neil Gaiman";
    QTest::newRow("authors by |") << "names"
                                  << "Herbert, Frank|Anderson, Kevin J.|"
                                  << "Herbert, Frank / Anderson, Kevin J.";
    QTest::newRow("authors by ; and ，") << "names" << QStringLiteral("鲁迅；; 周作人，许广平") << QStringLiteral("鲁迅 / 周作人 / 许广平");
    QTest::newRow("one author") << "names"
                                << "Le Guin, Ursula K."
                                << "Le Guin, Ursula K.";
    QTest::newRow("publication line") << "publisher"
                                      << "Little, Brown and Company (1991), Paperback, 214 pages"
                                      << "Little, Brown and Company";
    QTest::newRow("publication without year") << "publisher"
                                              << "Ace Books"
                                              << "Ace Books";
    QTest::newRow("formula kept as text") << "guard"
                                          << "'=cmd|' /C calc'!A0"
                                          << "=cmd|' /C calc'!A0";
    QTest::newRow("quote before a quote kept") << "guard"
                                               << "''-12.5"
                                               << "'-12.5";
    QTest::newRow("quote before a letter kept") << "guard"
                                                << "'tis"
                                                << "'tis";
}

void TransferTest::namesAndTextsAreSplit()
{
    QFETCH(QString, reading);
    QFETCH(QString, text);
    QFETCH(QString, parts);
    QStringList out;
    if (reading == u"names") {
        for (const QStringView name : bookvalues::splitNames(text))
            out << name.toString();
    } else if (reading == u"publisher") {
        out << bookvalues::publisherOf(text).toString();
    } else {
        out << formulaguard::unguarded(text).toString();
        // What the export writes reads back as the text it was.
        QCOMPARE(formulaguard::unguarded(formulaguard::guarded(QStringView(text))), QStringView(text));
        QCOMPARE(formulaguard::guarded(QStringView(text)).toUtf8(), formulaguard::guarded(text.toUtf8()));
    }
    QCOMPARE(out.join(QStringLiteral(" / ")), parts);
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
    QTest::addColumn<bool>("known");
    const struct
    {
        const char *header, *target;
        bool known;
    } rows[] = {
        {"Title", "书名", true},
        {" title ", "书名", true},
        {"\xEF\xBB\xBFTitle", "书名", true},
        {"'TITLE'", "书名", true},
        {"BOOK_NOTE", "内容简介", true},
        {"名称", "书名", true},
        {"借阅日期", "借入借出日期", true},
        {"Author", "作者", true},
        {"Additional Authors", "第二作者", true},
        {"ISBN13", "ISBN", true},
        {"Publisher", "出版社", true},
        {"Year Published", "出版日期", true},
        {"Original Publication Year", "出版日期", true},
        {"Number of Pages", "页数", true},
        {"Date Read", "是否已读（按读完日期）", true},
        {"My Rating", "喜爱程度（按1～5星评分）", true},
        {"Exclusive Shelf", "是否已读（按书架）", true},
        {"Original Purchase Date", "购买日期", true},
        {"Date Added", "不导入", true},
        {"Bookshelves", "不导入", true},
        {"My Review", "不导入", true},
        {"authors", "作者和第二作者（多位作者）", true},
        {"author_details", "作者和第二作者（多位作者）", true},
        {"title_sort", "不导入", true},
        {"pubdate", "出版日期", true},
        {"date_published", "出版日期", true},
        {"year", "出版日期", true},
        {"read", "是否已读（是或否）", true},
        {"rating", "喜爱程度（按1～5星评分）", true},
        {"loaned_to", "已借出给（书友）", true},
        {"bookshelf", "分类", true},
        {"tags", "不导入", true},
        {"comments", "内容简介", true},
        {"AUTHOR (last, first)", "作者", true},
        {"PUBLICATION INFO", "出版社（按出版信息）", true},
        {"ENTRY DATE", "不导入", true},
        {"RATING", "喜爱程度（按1～5星评分）", true},
        {"REVIEW", "不导入", true},
        {"出版年", "出版日期", true},
        {"定价", "价格", true},
        {"标签", "不导入", true},
        {"评分", "不导入", true},
        {"页数", "页数", true},
        {"编号", "不导入", true},
        {"book_id", "不导入", true},
        {"Book Id", "不导入", true},
        {"Average Rating", "不导入", true},
        {"Autor", "不导入", false},
        {"\xEF\xBB\xBF" "Autor", "不导入", false},
        {"", "不导入", false},
    };
    for (const auto &r : rows)
        QTest::newRow(r.header) << QString::fromUtf8(r.header) << QString::fromUtf8(r.target) << r.known;
}

void TransferTest::headersFindTheirFields()
{
    QFETCH(QString, header);
    QFETCH(QString, target);
    QFETCH(bool, known);
    QCOMPARE(bookcolumns::caption(bookcolumns::targetOf(header)), target);
    QCOMPARE(bookcolumns::isKnownHeader(header), known);

    // Every header the export writes reads back as its own column.
    const QStringList written = bookexport::header();
    QCOMPARE(written.size(), bookcolumns::kColumnCount);
    QVERIFY(bookcolumns::isKnownHeader(written[0]));
    for (int c = 1; c < bookcolumns::kColumnCount; ++c)
        QCOMPARE(bookcolumns::columnOf(bookcolumns::targetOf(written[c])), c);
}
