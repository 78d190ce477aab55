// Files as other programs and people really have them, read as their owners
// meant them: each fixture is written here in the shape of a real export
// (its headers, its quirks), never copied from one. A value that cannot be
// read costs its field, a row the file spoils costs that row, and the
// window and the command line make the same books of the same file.
#include "tst_transfer.h"

#include "components/messages.h"
#include "support/fixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

namespace {

// A reading list's export: star ratings with 0 for none, a shelf of
// reading state that may be a shelf of the owner's own naming, the day a
// book went on the list (no purchase), several shelves at once, years BC
// beside a good year of the edition, a review over two lines.
const QByteArray kReadingList =
    "Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My Rating,Average Rating,Publisher,Binding,"
    "Number of Pages,Year Published,Original Publication Year,Date Read,Date Added,Bookshelves,"
    "Bookshelves with positions,Exclusive Shelf,My Review,Spoiler,Private Notes,Read Count,Owned Copies\n"
    "11,The Republic,Plato,\"Plato, \",,=\"0140455116\",=\"9780140455113\",0,3.94,Penguin,Paperback,416,2007,-380,,"
    "2019/05/04,\"philosophy, to-read-non-fiction\",\"philosophy (#3), to-read-non-fiction (#12)\","
    "to-read-non-fiction,,,,0,0\n"
    "12,The Odyssey,Homer,\"Homer, \",Robert Fagles,=\"\",=\"\",5,3.78,Penguin Classics,Paperback,541,1999,-700,"
    "2020/01/10,2019/12/01,\"classics, 2019\",\"classics (#1), 2019 (#4)\",read,\"Great\nstory\",,,1,1\n"
    "13,Beowulf,Unknown,\"Unknown, \",,=\"\",=\"\",4,3.45,,,,,974,,2020/02/02,wont-finish,wont-finish (#1),"
    "wont-finish,,,,0,0\n"
    "14,Dao De Jing,Laozi,\"Laozi, \",,=\"\",=\"\",3,4.31,,,,,-400,,2020/02/03,currently-reading,"
    "currently-reading (#2),currently-reading,,,,0,0\n";
const char *const kReadingListColumns = "book_name,book_author2,book_cate,book_isbn,book_pubd,book_pages,book_buyd,"
                                        "book_rating,book_loan,book_readed";
const QStringList kReadingListBooks{
    "'The Republic'|NULL|NULL|'0140455116'|'2007-01-01'|416|NULL|NULL|1|2",
    "'The Odyssey'|'Robert Fagles'|NULL|''|'1999-01-01'|541|NULL|1|1|1",
    "'Beowulf'|NULL|NULL|''|'0974-01-01'|NULL|NULL|2|1|2",
    "'Dao De Jing'|NULL|NULL|''|NULL|NULL|NULL|3|1|2",
};

// The same list as a spreadsheet in a European language saves it:
// semicolons, days before months with dots, a price with a decimal comma.
const QByteArray kEuropeanSave = "Title;Author;My Rating;Year Published;Date Read;Original Purchase Date;"
                                 "Exclusive Shelf;Price\r\n"
                                 "The Odyssey;Homer;5;1999;10.01.2020;07.09.2019;read;\"12,50\"\r\n"
                                 "Beowulf;Unknown;4;;;31.12.2018;to-read;\r\n"
                                 "Dao De Jing;Laozi;3;;;;currently-reading;8\r\n";
const char *const kEuropeanColumns = "book_name,book_pubd,book_buyd,book_value,book_rating,book_readed";
const QStringList kEuropeanBooks{
    "'The Odyssey'|'1999-01-01'|'2019-09-07'|'12,50'|1|1",
    "'Beowulf'|NULL|'2018-12-31'|NULL|2|2",
    "'Dao De Jing'|NULL|NULL|'8'|3|2",
};

// A catalogue of e-books: several authors joined by &, ratings in points
// of 0 to 10, a day and time of publication, the day added to the library
// (no purchase), tags that are no category.
const QByteArray kEbookCatalogue =
    "title,authors,author_sort,publisher,pubdate,isbn,languages,rating,tags,comments,series,series_index,"
    "timestamp,uuid,id,title_sort\n"
    "Good Omens,Terry Pratchett & Neil Gaiman & A. N. Other,\"Pratchett, Terry\",HarperTorch,"
    "2006-11-28T00:00:00+00:00,9780060853983,eng,8,\"Fantasy, Humor\",<p>Funny.</p>,,1.0,"
    "2021-01-01T10:00:00+00:00,0c1d,1,Good Omens\n"
    "Dune,Frank Herbert,\"Herbert, Frank\",Ace,1990-09-01T00:00:00+00:00,,eng,0,,,Dune,1.0,"
    "2021-01-02T10:00:00+00:00,0c1e,2,Dune\n";
const char *const kEbookColumns =
    "book_name,book_author,book_author2,book_pub,book_pubd,book_language,book_rating,book_note,book_buyd,book_cate";
const QStringList kEbookBooks{
    "'Good Omens'|'Terry Pratchett'|'Neil Gaiman、A. N. Other'|'HarperTorch'|'2006-11-28'|'eng'|2|'<p>Funny.</p>'|"
    "NULL|NULL",
    "'Dune'|'Frank Herbert'|NULL|'Ace'|'1990-09-01'|'eng'|NULL|NULL|NULL|NULL",
};

// A phone cataloguing app's backup: authors "family, given" joined by |, a
// shelf, read as 1 or 0, a book lent to a friend, ratings with a decimal.
const QByteArray kPhoneCatalogue =
    "_id,author_details,title,isbn,publisher,date_published,rating,bookshelf_id,bookshelf,read,pages,notes,"
    "list_price,loaned_to,description,language,date_added\n"
    "1,\"Herbert, Frank|Anderson, Kevin J.\",Dune,0441172717,Ace,1990-09-01,4.0,1,Science Fiction,1,535,mine,"
    "7.99,张三,A desert planet.,English,2020-01-01 10:00:00\n"
    "2,\"Le Guin, Ursula K.\",The Dispossessed,,Harper,1974,0.0,1,Science Fiction,0,387,,,,,English,"
    "2020-01-02 10:00:00\n";
const char *const kPhoneColumns = "book_name,book_author,book_author2,book_cate,book_pubd,book_rating,book_readed,"
                                  "book_loan,book_reader,book_value,book_note";
const QStringList kPhoneBooks{
    "'Dune'|'Herbert, Frank'|'Anderson, Kevin J.'|'Science Fiction'|'1990-09-01'|2|1|3|'张三'|'7.99'|'A desert planet.'",
    "'The Dispossessed'|'Le Guin, Ursula K.'|NULL|'Science Fiction'|'1974-01-01'|NULL|2|1|NULL|NULL|NULL",
};

// A shelf catalogue's tab-separated export: a publication line, half
// stars, the day the entry was made (no purchase), ISBNs in brackets.
const QByteArray kShelfCatalogue =
    "Book Id\tTitle\tPrimary Author\tSecondary Author\tPublication\tDate\tRating\tReview\tEntry Date\tISBNs\tTags\n"
    "1\tThe Catcher in the Rye\tSalinger, J.D.\t\tLittle, Brown and Company (1991), Paperback, 214 pages\t1991\t3.5\t"
    "Fine.\t2015-03-01\t[0316769177]\tfiction, classics\n"
    "2\tWalden\tThoreau, Henry David\t\tPrinceton (2004)\t1854\t4.5\t\t2015-03-02\t\tnature\n";
const char *const kShelfColumns = "book_name,book_author,book_pub,book_pubd,book_rating,book_isbn,book_buyd";
const QStringList kShelfBooks{
    "'The Catcher in the Rye'|'Salinger, J.D.'|'Little, Brown and Company'|'1991-01-01'|2|'0316769177'|NULL",
    "'Walden'|'Thoreau, Henry David'|'Princeton'|'1854-01-01'|1|NULL|NULL",
};

// The same catalogue's older comma-separated export: its headers quoted
// with ', its ISBNs in brackets.
const QByteArray kShelfCatalogueOld =
    "'TITLE','AUTHOR (first, last)','AUTHOR (last, first)','DATE','LCC','DDC','ISBNs','PUBLICATION INFO',"
    "'COMMENTS','RATING','REVIEW','ENTRY DATE','TAGS'\r\n"
    "\"The Catcher in the Rye\",\"J.D. Salinger\",\"Salinger, J.D.\",\"1991\",\"PS3537.A426\",\"813.54\","
    "\"[0316769177]\",\"Little, Brown (1991), Paperback, 214 pages\",\"\",\"5\",\"\",\"2006-01-02\",\"fiction\"\r\n";

// A spreadsheet's plain save in a western code page.
const QByteArray kWesternSave = "Title,Author,Publisher\r\n"
                                "Perdido Street Station,China Mi\xe9ville,Macmillan\r\n"
                                "The Scar,China Mi\xe9ville,Pan \x96 Macmillan\r\n";

// Texts a spreadsheet would take for formulas, written by the program with
// a ' before them.
const QByteArray kGuarded = "书名,作者,价格\r\n'=cmd|' /C calc'!A0,某人,''-12\r\n'@SUM(A1),'+86,'-12.5\r\n";
const char *const kGuardedColumns = "book_name,book_author,book_value";
const QStringList kGuardedBooks{"'=cmd|'' /C calc''!A0'|'某人'|'''-12'", "'@SUM(A1)'|'+86'|'-12.5'"};

// Dates written with the year last: one column settles its order by a day
// past 12, the other is left open.
const QByteArray kOpenDates = "Title,Original Purchase Date,Year Published\n"
                              "A,03/04/2020,03/04/2001\n"
                              "B,13/04/2020,05/06/2002\n";

// The query that lists the books' columns, quoted as SQL writes them.
QString selectBooks(const QString &columns)
{
    QStringList fields;
    for (const QString &c : columns.split(QLatin1Char(',')))
        fields << QStringLiteral("quote(%1)").arg(c);
    return QStringLiteral("select %1 from book order by book_id").arg(fields.join(QStringLiteral("||'|'||")));
}

} // namespace

void TransferTest::realFilesAreReadAsMeant_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QStringList>("books");
    QTest::addColumn<QStringList>("printed"); // what the command's output must hold

    QTest::newRow("reading list") << kReadingList << kReadingListColumns << kReadingListBooks
                                  << QStringList{"第6行已导入，但Original Publication Year：“-400”无法识别为日期，已留空",
                                                 "已导入 4 本书（其中 1 本有资料无法识别、已留空）",
                                                 "没有导入的列：Book Id、Author l-f、Average Rating"};
    QTest::newRow("European save") << kEuropeanSave << kEuropeanColumns << kEuropeanBooks
                                   << QStringList{"已导入 3 本书（其中 0 本"};
    QTest::newRow("e-book catalogue") << kEbookCatalogue << kEbookColumns << kEbookBooks
                                      << QStringList{"已导入 2 本书", "tags、"};
    QTest::newRow("phone catalogue") << kPhoneCatalogue << kPhoneColumns << kPhoneBooks
                                     << QStringList{"已导入 2 本书"};
    QTest::newRow("shelf catalogue") << kShelfCatalogue << kShelfColumns << kShelfBooks
                                     << QStringList{"已导入 2 本书", "Review、Entry Date、Tags"};
    QTest::newRow("formula guard") << kGuarded << kGuardedColumns << kGuardedBooks << QStringList{"已导入 2 本书"};
    QTest::newRow("shelf catalogue, older export")
        << kShelfCatalogueOld << "book_name,book_author,book_pub,book_pubd,book_isbn,book_rating,book_buyd"
        << QStringList{"'The Catcher in the Rye'|'Salinger, J.D.'|'Little, Brown'|'1991-01-01'|'0316769177'|1|NULL"}
        << QStringList{"没有导入的列：AUTHOR (first, last)、LCC、DDC、REVIEW、ENTRY DATE、TAGS"};
    QTest::newRow("western code page")
        << kWesternSave << "book_author,book_pub"
        << QStringList{QStringLiteral("'China Miéville'|'Macmillan'"), QStringLiteral("'China Miéville'|'Pan – Macmillan'")}
        << QStringList{"已导入 2 本书"};
    QTest::newRow("unknown header") << QByteArray("Title,Autor\nDune,Frank Herbert\n") << "book_name,book_author"
                                    << QStringList{"'Dune'|NULL"} << QStringList{"没有导入的列：Autor（无法识别）"};
    QTest::newRow("header with an invisible mark")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFTitle,Author\nDune,Frank Herbert\n") << "book_name,book_author"
        << QStringList{"'Dune'|'Frank Herbert'"} << QStringList{"已导入 1 本书"};
    QTest::newRow("open dates")
        << kOpenDates << "book_name,book_buyd,book_pubd"
        << QStringList{"'A'|'2020-04-03'|NULL", "'B'|'2020-04-13'|NULL"}
        << QStringList{"“03/04/2001”）的日和月无法确定先后", "第2行已导入，但Year Published：“03/04/2001”的日和月无法确定先后，已留空"};
}

void TransferTest::realFilesAreReadAsMeant()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, columns);
    QFETCH(QStringList, books);
    QFETCH(QStringList, printed);
    const QString path = writeFile(QStringLiteral("books.csv"), bytes);
    QString out, err;
    QCOMPARE(importByCommand(path, {}, &out, &err), 0);
    for (const QString &words : printed)
        QVERIFY2((out + err).contains(words), qPrintable(out + err));
    QCOMPARE(query(selectBooks(columns)), books);
}

void TransferTest::windowAndCommandLineAgree_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("reading list") << kReadingList;
    QTest::newRow("European save") << kEuropeanSave;
    QTest::newRow("e-book catalogue") << kEbookCatalogue;
    QTest::newRow("phone catalogue") << kPhoneCatalogue;
    QTest::newRow("shelf catalogue") << kShelfCatalogue;
    QTest::newRow("formula guard") << kGuarded;
    QTest::newRow("open dates") << kOpenDates;
    QTest::newRow("western code page") << kWesternSave;
}

void TransferTest::windowAndCommandLineAgree()
{
    QFETCH(QByteArray, bytes);
    const QString path = writeFile(QStringLiteral("books.csv"), bytes);
    QCOMPARE(importByCommand(path), 0);
    const QStringList byCommand = storedBooks();
    QVERIFY(!byCommand.isEmpty());
    seed(QStringLiteral("delete from book; delete from category; delete from author; delete from pub; "
                        "delete from reader;"));
    start();
    importThroughWindow(path);
    QVERIFY(onlyMessage().contains(QStringLiteral("已从文件“books.csv”导入")));
    QCOMPARE(storedBooks(), byCommand);
}

void TransferTest::unsettledDatesAreAskedFor()
{
    const QString path = writeFile(QStringLiteral("dates.csv"), kOpenDates);
    start();
    inImportWindow(path, [&](QDialog *window) {
        auto *order = fixture::child<QComboBox>(window, "combo_dateorder");
        QVERIFY(order->isVisibleTo(window));
        QVERIFY(fixture::child<QLabel>(window, "label_counts")->text().contains(QStringLiteral("“03/04/2001”")));
        order->setCurrentIndex(order->findText(QStringLiteral("月/日/年")));
        Q_EMIT order->activated(order->currentIndex());
        click(window, "button_import");
    });
    onlyMessage();
    QCOMPARE(query(selectBooks(QStringLiteral("book_name,book_buyd,book_pubd"))),
             (QStringList{"'A'|'2020-04-03'|'2001-03-04'", "'B'|'2020-04-13'|'2002-05-06'"}));

    // The command line answers the same question with --date-order.
    seed(QStringLiteral("delete from book"));
    ImportOptions options;
    options.dateOrder = bookvalues::DateOrder::Mdy;
    QString out, err;
    QCOMPARE(importByCommand(path, options, &out, &err), 0);
    QVERIFY2(!err.contains(QStringLiteral("无法确定")), qPrintable(err));
    QCOMPARE(query(selectBooks(QStringLiteral("book_name,book_buyd,book_pubd"))),
             (QStringList{"'A'|'2020-04-03'|'2001-03-04'", "'B'|'2020-04-13'|'2002-05-06'"}));
}

void TransferTest::dryRunWritesNothing()
{
    const QString path = writeFile(QStringLiteral("list.csv"), kReadingList);
    // A catalogue made before the duplicate question's indexes: a dry run
    // does not make them either, the file stays byte for byte.
    seed(QStringLiteral("drop index book_by_title_key; drop index book_by_isbn_key"));
    const auto bytes = [this] {
        QFile file(dataFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    ImportOptions options;
    options.dryRun = true;
    options.mapping = {{QStringLiteral("Bookshelves"), QStringLiteral("分类")}, {QStringLiteral("my rating"), QStringLiteral("不导入")}};
    QString out, err;
    QCOMPARE(importByCommand(path, options, &out, &err), 0);
    QCOMPARE(bytes(), before);
    QCOMPARE(bookCount(), 0);
    QVERIFY2(out.contains(QStringLiteral("试运行，数据文件没有改动")) && out.contains(QStringLiteral("Bookshelves → 分类")) &&
                 out.contains(QStringLiteral("可以导入 4 本书")) && !out.contains(QStringLiteral("My Rating →")),
             qPrintable(out));
    QVERIFY2(err.contains(QStringLiteral("第6行已导入，但")), qPrintable(err));

    // A mapping that names no column, or no field, is refused by name.
    options.mapping = {{QStringLiteral("Autor"), QStringLiteral("作者")}};
    QCOMPARE(importByCommand(path, options, &out, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("没有名为“Autor”的列")), qPrintable(err));
    options.mapping = {{QStringLiteral("Title"), QStringLiteral("标题")}};
    QCOMPARE(importByCommand(path, options, &out, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("字段“标题”无法识别")), qPrintable(err));
    QCOMPARE(bookCount(), 0);
}

void TransferTest::damagedRowsCostOnlyThemselves_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("books");
    QTest::addColumn<QString>("told"); // the row left out, as the command line lists it
    QTest::addColumn<QString>("stored"); // a book that came in whole

    // A site's list of 998 books in GB18030, one price with a comma that
    // nobody quoted.
    QStringEncoder gb("GB18030");
    QString list = QStringLiteral("书名,作者,出版社,出版年,页数,定价,ISBN,标签,评分\r\n");
    for (int i = 1; i <= 998; ++i)
        list += QStringLiteral("书%1,作者%2,人民文学出版社,2005-%3,%4,%5,978702000%6,小说 经典,8.%7\r\n")
                    .arg(i)
                    .arg(i % 50)
                    .arg(i % 12 + 1)
                    .arg(200 + i)
                    .arg(i == 500 ? QStringLiteral("29,80元") : QStringLiteral("29.80元"))
                    .arg(i, 4, 10, QLatin1Char('0'))
                    .arg(i % 10);
    QTest::newRow("a list with one long row")
        << QByteArray(gb.encode(list)) << 997 << QStringLiteral("第501行没有导入：有10个字段，比标题行的9个多")
        << QStringLiteral("'书499'|'作者49'|'2005-08-01'|699|'29.80元'|NULL");

    // A tab-separated export in UTF-8 with three stray bytes in one title.
    QByteArray tsv = "Title\tPrimary Author\tRating\n";
    for (int i = 1; i <= 300; ++i) {
        tsv += QStringLiteral("红楼梦 第%1卷\t曹雪芹\t4\n").arg(i).toUtf8();
        if (i == 150)
            tsv += "Caf\xe9 \xff\xfe\tSomeone\t3\n";
    }
    QTest::newRow("three stray bytes")
        << tsv << 300 << QStringLiteral("第152行没有导入：含有不是有效UTF-8编码的字节")
        << QStringLiteral("'红楼梦 第1卷'|'曹雪芹'|NULL|NULL|NULL|2");

    // Old Mac line ends, a final Ctrl-Z.
    QTest::newRow("carriage returns and a Ctrl-Z")
        << QByteArray("Title,Author,Pages\r\"Two\rlines\",A,12\rB,\"x\",\"y\",\"z\"\rC,D,7\r\x1A") << 2
        << QStringLiteral("第4行没有导入：有4个字段，比标题行的3个多") << QStringLiteral("'Two\rlines'|'A'|NULL|12|NULL|NULL");
}

void TransferTest::damagedRowsCostOnlyThemselves()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, books);
    QFETCH(QString, told);
    QFETCH(QString, stored);
    const QString path = writeFile(QStringLiteral("damaged.csv"), bytes);
    QString out, err;
    QCOMPARE(importByCommand(path, {}, &out, &err), 0);
    QVERIFY2(err.contains(told), qPrintable(err));
    QVERIFY2(out.contains(QStringLiteral("已导入 %1 本书").arg(books)), qPrintable(out));
    QCOMPARE(bookCount(), books);
    const QStringList rows = query(selectBooks(QStringLiteral("book_name,book_author,book_pubd,book_pages,book_value,book_rating")));
    QVERIFY2(rows.contains(stored), qPrintable(rows.mid(0, 3).join(QLatin1Char('\n'))));

    // The window lists the same row and adds the same books.
    seed(QStringLiteral("delete from book"));
    start();
    inImportWindow(path, [&](QDialog *window) {
        QAbstractItemModel *skipped = fixture::child<QAbstractItemModel>(window, "model_problems");
        QCOMPARE(skipped->rowCount(), 1);
        QCOMPARE(skipped->index(0, 1).data().toString(), QStringLiteral("不导入"));
        QVERIFY(told.contains(skipped->index(0, 2).data().toString()));
        click(window, "button_import");
    });
    QVERIFY(onlyMessage().contains(QStringLiteral("文件中无法读取的行：1 行")));
    QCOMPARE(bookCount(), books);
}
