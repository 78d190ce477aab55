#include "registry.h"

#include "catalogue/catalogue.h"
#include "support/fixture.h"

#include <QSignalSpy>
#include <QtTest>

// The figures behind the statistics lists and the charts, the loan lists and
// the two ways a loan ends, on small catalogues of odd values.
class FiguresTest : public QObject
{
    Q_OBJECT

private:
    static QStringList shown(const std::vector<figures::Part> &parts)
    {
        QStringList out;
        for (const figures::Part &p : parts)
            out << p.label + QLatin1Char('=') + QString::number(p.books);
        return out;
    }

    static QStringList shown(const std::vector<loanlist::Loan> &loans)
    {
        QStringList out;
        for (const loanlist::Loan &loan : loans)
            // A readable date as the day it is (its text is the user's
            // short date format), an unreadable one as stored.
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(loan.number, loan.dateKnown() ? loan.date.toString(Qt::ISODate) : loan.dateText,
                            loan.dateKnown() ? QString::number(loan.days) : QStringLiteral("?"), loan.reader);
        return out;
    }

private Q_SLOTS:
    // A category counts exactly the books of a text of the same bytes; the
    // rest (no value, a blob, a name not in the list) count among all books
    // only, and in the chart under 其他.
    void byCategory_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("counts"); // categoryBooks().of() of each listed name, then all
        QTest::addColumn<QStringList>("chart");
        const QString odd = QStringLiteral(
            "insert into category (cate_name) values ('小说'), ('O''Reilly'), ('小说'||char(0)||'续'), ('空的');"
            "insert into book (book_name, book_cate) values ('1', '小说'), ('2', '小说'), ('3', 'O''Reilly'),"
            " ('4', '小说'||char(0)||'续'), ('5', NULL), ('6', x'41'), ('7', '不在表中'), ('8', '小说 '),"
            " ('9', 'o''reilly'), ('10', '小说'||char(0))");
        QTest::newRow("quotes, zero, no value, blob, unlisted")
            << odd << 12
            << QStringList{"小说=2", "O'Reilly=1", QStringLiteral("小说") + QChar(0) + "续=1", "空的=0", "all=10"}
            << QStringList{"小说=2", "O'Reilly=1", QStringLiteral("小说") + QChar(0) + "续=1", "空的=0", "其他=6"};
        QTest::newRow("past the shown ones, gathered")
            << odd << 1
            << QStringList{"小说=2", "O'Reilly=1", QStringLiteral("小说") + QChar(0) + "续=1", "空的=0", "all=10"}
            << QStringList{"小说=2", "其他=8"};
        QTest::newRow("a category no book uses, no rest")
            << QStringLiteral("insert into category (cate_name) values ('甲'), ('乙');"
                              "insert into book (book_name, book_cate) values ('1', '乙')")
            << 12 << QStringList{"甲=0", "乙=1", "all=1"} << QStringList{"乙=1", "甲=0"};
        QTest::newRow("books, no category") << QStringLiteral("insert into book (book_name) values ('1'), ('2')") << 12
                                            << QStringList{"all=2"} << QStringList{"其他=2"};
        QTest::newRow("nothing") << QString() << 12 << QStringList{"all=0"} << QStringList{};
    }
    void byCategory()
    {
        QFETCH(QString, sql);
        QFETCH(int, shown);
        QFETCH(QStringList, counts);
        QFETCH(QStringList, chart);
        fixture::ProgramFolder folder;
        if (!sql.isEmpty())
            fixture::exec(folder.dataFile(), sql);
        Catalogue catalogue(folder.dataFile());
        const figures::CategoryBooks books = catalogue.categoryBooks();
        QStringList got;
        for (const QString &name : catalogue.categoryNames())
            got << name + QLatin1Char('=') + QString::number(books.of(name));
        got << QStringLiteral("all=") + QString::number(books.all);
        QCOMPARE(got, counts);
        QCOMPARE(this->shown(catalogue.booksByCategory(shown)), chart);
    }

    // A code counts the books for which "column=n" holds: the whole number
    // n, or its text, which the column's affinity stores as that number.
    // Anything else is counted apart; every set adds up to all the books.
    void byCode_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("loan") << "book_loan" << int(figures::Code::Loan)
                              << QStringList{"自己拥有=2", "借入=1", "已借出=2", "其他=7"};
        QTest::newRow("read") << "book_readed" << int(figures::Code::Read) << QStringList{"已读=2", "未读=1", "未填=9"};
        QTest::newRow("rating") << "book_rating" << int(figures::Code::Rating)
                                << QStringList{"非常喜欢=2", "很不错=1", "还可以=2", "不太好=0", "很糟糕=0", "未填=7"};
    }
    void byCode()
    {
        QFETCH(QString, column);
        QFETCH(int, code);
        QFETCH(QStringList, parts);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (%1) values (1), ('1'), (2), (3), ('3'), (NULL), (0), (7),"
                                     " ('abc'), (2.5), (' 2x'), (x'31')")
                          .arg(column));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(shown(catalogue.booksByCode(figures::Code(code))), parts);
        if (figures::Code(code) == figures::Code::Loan) {
            const figures::LoanCounts counts = catalogue.loanCounts();
            QCOMPARE((QList<qint64>{counts.own, counts.borrowedIn, counts.lentOut, counts.all}),
                     (QList<qint64>{2, 1, 2, 12}));
        }
    }

    // Prices are free text: what is no number is counted among the books,
    // left out of the sum and named, the first in the order of the book
    // numbers, each book once.
    void purchaseMoney_data()
    {
        QTest::addColumn<QString>("values"); // (book_id, book_name, book_value)
        QTest::addColumn<QStringList>("figures");
        QTest::addColumn<qint64>("leftOut");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("numbers, none, empty") << "(1, 'a', '7'), (2, 'b', ' 8.5 '), (3, 'c', NULL), (4, 'd', '')"
                                              << QStringList{"4", "15.50", "3.88"} << qint64(0) << QStringList{};
        QTest::newRow("no numbers, in number order")
            << "(9, '九', '三十元'), (3, 'O''R', '1,200'), (5, '五', '三十元'), (7, '七', '12'), (4, '四', x'ff')"
            << QStringList{"5", "12", "2"} << qint64(4)
            << QStringList{"《O'R》（价格：1,200）", "《四》（价格：\uFFFD）", "《五》（价格：三十元）",
                           "《九》（价格：三十元）"};
        QTest::newRow("a title with a zero")
            << "(1, 'a'||char(0)||'b', '约十元')" << QStringList{"1", "0", "0"} << qint64(1)
            << QStringList{QStringLiteral("《a") + QChar(0) + "b》（价格：约十元）"};
        QTest::newRow("no book") << QString() << QStringList{"0", "0", "0"} << qint64(0) << QStringList{};
    }
    void purchaseMoney()
    {
        QFETCH(QString, values);
        QFETCH(QStringList, figures);
        QFETCH(qint64, leftOut);
        QFETCH(QStringList, named);
        fixture::ProgramFolder folder;
        if (!values.isEmpty())
            fixture::exec(folder.dataFile(),
                          QStringLiteral("insert into book (book_id, book_name, book_value) values ") + values);
        Catalogue catalogue(folder.dataFile());
        const figures::Money bought = catalogue.purchaseMoney();
        QCOMPARE((QStringList{QString::number(bought.tally.books()), money::amountText(bought.tally.total()),
                              money::amountText(bought.tally.average())}),
                 figures);
        QCOMPARE(bought.leftOut, leftOut);
        QCOMPARE(bought.named, named);
    }

    // More books left out than are named: the first twenty by number.
    void purchaseMoneyNamesTheFirstTwenty()
    {
        fixture::ProgramFolder folder;
        fixture::exec(
            folder.dataFile(),
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 30)"
                           " insert into book (book_id, book_name, book_value) select 100 - i, 'b' || (100 - i),"
                           " case when i % 2 = 0 then 'p' || i else '三十元' end from n"));
        Catalogue catalogue(folder.dataFile());
        const figures::Money bought = catalogue.purchaseMoney();
        QCOMPARE(bought.leftOut, 30);
        QCOMPARE(bought.named.size(), figures::kNamedAtMost);
        QCOMPARE(bought.named.first(), QStringLiteral("《b70》（价格：p30）"));
        QCOMPARE(bought.named.last(), QStringLiteral("《b89》（价格：三十元）"));
    }

    // A year is that of a purchase date SQLite reads as the very date it is;
    // any other date, or none, is 日期未知, last.
    void purchasesByYear()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (book_buyd, book_value) values ('2010-05-06', '10'),"
                                     " ('2003-09-02', '29.80'), ('2003-01-31', '三十元'),"
                                     " ('2003-13-45', '1'), ('bogus', '1,200'), (NULL, '0.05'), (20030902, '2'),"
                                     " ('1999-12-31', NULL)"));
        Catalogue catalogue(folder.dataFile());
        const figures::Purchases bought = catalogue.purchasesByYear();
        QStringList years;
        for (const figures::Year &y : bought.years)
            years << QStringLiteral("%1:%2:%3").arg(y.label).arg(y.books).arg(money::amountText(y.spent));
        QCOMPARE(years, (QStringList{"1999:1:0", "2003:2:29.80", "2010:1:10", "日期未知:4:3.05"}));
        QCOMPARE(bought.leftOut, 2);
        // In the order of the groups: no year first.
        QCOMPARE(bought.leftOutPrices, (QStringList{"1,200", "三十元"}));
    }

    // Lent out (3) and borrowed in (2) as the decimal text reads; longest
    // out first, a date to come with its days below zero, no or an
    // unreadable date last, in number order.
    void loanLists()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (book_id, book_name, book_loan, book_reader, book_loand) values"
                                     " (1, '甲', 3, '张三', '2026-05-01'), (2, '乙', '3', 'O''B', '2026-01-01'),"
                                     " (3, '丙', 3, '', '2026-07-01'), (4, '丁', 3, '张三', NULL),"
                                     " (5, '戊', 3, '张三', '去年'), (6, '己', 2, '王五', '2026-05-31'),"
                                     " (7, '庚', '2x', '王五', '2026-05-31'), (8, '辛', 2.0, '王五', '2026-04-01'),"
                                     " (9, '壬', 1, '张三', '2026-01-01'), (10, '癸', 'abc', '', NULL)"));
        Catalogue catalogue(folder.dataFile());
        const loanlist::Lists lists = catalogue.loanLists(QDate(2026, 6, 1));
        QCOMPARE(shown(lists.lentOut), (QStringList{"2 2026-01-01 151 O'B", "1 2026-05-01 31 张三", "3 2026-07-01 -30 ",
                                                    "4  ? 张三", "5 去年 ? 张三"}));
        QCOMPARE(shown(lists.borrowedIn), (QStringList{"8 2026-04-01 61 王五", "6 2026-05-31 1 王五"}));
    }

    // Ending a loan: a lent book becomes the user's own (one field written,
    // one bookChanged); a borrowed one is deleted (one bookRemoved). A book
    // another program deleted meanwhile is reported and its row goes; one it
    // changed is ended as it now stands, its changes kept.
    void endingALoan_data()
    {
        QTest::addColumn<bool>("lent");
        QTest::addColumn<QString>("meanwhile"); // SQL another program runs after the lists were read
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("after"); // book 1 as stored, "" when gone
        QTest::newRow("lent, returned") << true << QString() << true << "甲|1|张三";
        QTest::newRow("lent, deleted meanwhile")
            << true << QStringLiteral("delete from book where book_id = 1") << false << "";
        QTest::newRow("lent, changed meanwhile")
            << true << QStringLiteral("update book set book_name = 'O''甲', book_reader = '李四' where book_id = 1")
            << true << "O'甲|1|李四";
        QTest::newRow("borrowed, deleted") << false << QString() << true << "";
        QTest::newRow("borrowed, deleted meanwhile")
            << false << QStringLiteral("delete from book where book_id = 1") << false << "";
        QTest::newRow("borrowed, changed meanwhile")
            << false << QStringLiteral("update book set book_name = '乙' where book_id = 1") << true << "";
    }
    void endingALoan()
    {
        QFETCH(bool, lent);
        QFETCH(QString, meanwhile);
        QFETCH(bool, found);
        QFETCH(QString, after);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (book_id, book_name, book_loan, book_reader, book_loand) values"
                                     " (1, '甲', %1, '张三', '2026-05-01'), (2, '丙', 3, '王五', '2026-05-01')")
                          .arg(lent ? 3 : 2));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(catalogue.loanLists(QDate(2026, 6, 1)).lentOut.size(), size_t(lent ? 2 : 1));
        if (!meanwhile.isEmpty())
            fixture::exec(folder.dataFile(), meanwhile);
        const QString before =
            fixture::value(folder.dataFile(), QStringLiteral("select quote(book_loand) from book where book_id = 1"));
        QSignalSpy changed(&catalogue, &Catalogue::bookChanged);
        QSignalSpy removed(&catalogue, &Catalogue::bookRemoved);
        QCOMPARE(lent ? catalogue.returnFromLoan(1) : catalogue.removeBook(1), found);
        const bool rowStays = lent && found;
        QCOMPARE(changed.size(), rowStays ? 1 : 0);
        QCOMPARE(removed.size(), rowStays ? 0 : 1);
        const QList<QVariant> signal = rowStays ? changed.value(0) : removed.value(0);
        QCOMPARE(signal.value(0).toLongLong(), 1);
        QCOMPARE(fixture::value(folder.dataFile(),
                                QStringLiteral("select coalesce((select book_name || '|' || quote(book_loan) || '|' ||"
                                               " book_reader from book where book_id = 1), '')")),
                 after);
        if (rowStays) // the loan's date is left as it was
            QCOMPARE(fixture::value(folder.dataFile(),
                                    QStringLiteral("select quote(book_loand) from book where book_id = 1")),
                     before);
        // The other book is untouched.
        QCOMPARE(fixture::value(folder.dataFile(),
                                QStringLiteral("select book_name || book_loan from book where book_id = 2")),
                 QStringLiteral("丙3"));
    }
};

QM_CATALOGUE_TEST(FiguresTest)

#include "tst_figures.moc"
