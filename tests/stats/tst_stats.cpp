// The three statistics dialogs, the money arithmetic behind the purchase
// statistic, and the book search, driven through the main window's commands.
#include "catalogue/catalogue.h"
#include "catalogue/money.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "stats/form_find.h"
#include "store/dataset.h"
#include "support/guitest.h"

#include <QCheckBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint64>)

using fixture::child;
using fixture::type;

class StatsTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    // Clicks the box's square.
    static void check(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    // Opens a statistics dialog and returns its rows as "caption=figure".
    static QStringList figures(const char *command, const char *list)
    {
        QStringList rows;
        fixture::runDialog(form_main->action(command), [&](QDialog *dialog) {
            auto *view = child<QTreeWidget>(dialog, list);
            for (int i = 0; i < view->topLevelItemCount(); ++i)
                rows << view->topLevelItem(i)->text(0) + QLatin1Char('=') + view->topLevelItem(i)->text(1);
            QTest::mouseClick(child<QPushButton>(dialog, "button_ok"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        return rows;
    }

    static QStringList listedTitles()
    {
        BookListModel *model = form_main->listview_main->model();
        QStringList titles;
        for (int r = 0; r < model->rowCount(); ++r)
            titles << model->cell(r, 0);
        return titles;
    }

    // Searches through the dialog: the word, then the boxes to check.
    static void search(const QString &word, const QStringList &boxes)
    {
        fixture::runDialog(form_main->action("mtfind"), [&](QDialog *dialog) {
            type(child<QLineEdit>(dialog, "edit_find"), word);
            for (const QString &box : boxes)
                check(child<QCheckBox>(dialog, box.toLatin1().constData()));
            QTest::mouseClick(child<QPushButton>(dialog, "button_ok"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
    }

    // The help document's text on purchase money, from its heading to the
    // end of the statistics section, without tags.
    static QString helpOnPurchaseMoney()
    {
        QFile file(QFINDTESTDATA("../../resources/qmp.html"));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        const QString html = QString::fromUtf8(file.readAll());
        const qsizetype section = html.indexOf(QStringLiteral("<h2 id=\"stats\">"));
        const qsizetype start = section < 0 ? -1 : html.indexOf(QStringLiteral("<h3>购买金额统计</h3>"), section);
        const qsizetype end = start < 0 ? -1 : html.indexOf(QStringLiteral("</section>"), start);
        if (end < 0)
            return QString();
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        return html.mid(start, end - start).remove(tag).simplified();
    }

    void seedBooks(const QString &values)
    {
        seed(QStringLiteral("insert into book (book_name, book_cate, book_author, book_author2, book_note, "
                            "book_reader, book_value, book_loan, book_readed, book_rating) values ") +
             values);
    }

    // What the three statistics show, as "caption=figure" rows, and the
    // message about prices (empty: none).
    struct Shown
    {
        QStringList numbers, lending, money;
        QString message;
    };

    // The statistics of the data file counted the slow way, record by record
    // through the program's dataset: for each row of a statistic the books
    // its command returns, walked and counted (every category's name bound
    // as its text), and every book's price tallied by itself, the books left
    // out named as the walk over the books meets them.
    static Shown countedRecordByRecord()
    {
        Shown counted;
        fixture::Cursor books;
        const auto count = [&books](const QString &command, const QVariantList &values = {}) {
            books.setCommandText(command, values);
            qint64 n = 0;
            books.scan([&n](const Dataset::Row &) { ++n; });
            return QString::number(n);
        };
        fixture::Cursor categories;
        categories.setCommandText(QStringLiteral("select * from category"));
        categories.open();
        for (; !categories.eof(); categories.next()) {
            const QString name = categories.fieldByName(u"cate_name");
            counted.numbers << name + QLatin1Char('=') +
                                   count(QStringLiteral("select * from book where book_cate=?"), {name});
        }
        const QString all = count(QStringLiteral("select * from book"));
        counted.numbers << QStringLiteral("全部书籍=") + all;
        counted.lending << QStringLiteral("自己拥有的书籍=") +
                               count(QStringLiteral("select * from book where book_loan=1"))
                        << QStringLiteral("借入的书籍=") + count(QStringLiteral("select * from book where book_loan=2"))
                        << QStringLiteral("已借出的书籍=") +
                               count(QStringLiteral("select * from book where book_loan=3"))
                        << QStringLiteral("全部书籍=") + all;

        money::Tally tally;
        QStringList named;
        int leftOut = 0;
        books.setCommandText(QStringLiteral("select * from book"));
        books.scan([&](const Dataset::Row &row) {
            const QString price = row.value(row.fieldIndex(u"book_value")).text();
            if (tally.add(price) == money::Tally::Outcome::NotANumber && ++leftOut <= 20)
                named
                    << QStringLiteral("《%1》（价格：%2）").arg(row.value(row.fieldIndex(u"book_name")).text(), price);
        });
        counted.money << QStringLiteral("书籍总数=") + QString::number(tally.books())
                      << QStringLiteral("购买金额总数=") + money::amountText(tally.total())
                      << QStringLiteral("平均每本购买金额=") + money::amountText(tally.average());
        if (leftOut > 0)
            counted.message = QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n") +
                              named.join(QLatin1Char('\n')) +
                              (leftOut > 20 ? QStringLiteral("\n……等，共 %1 本").arg(leftOut) : QString());
        return counted;
    }

    // Books with a price that is no number among others, a third of them,
    // each its own price but for every fifth ("三十元"); their keys are not
    // in the order they are inserted (37 steps round 101).
    static QString booksWithPricesLeftOut(int books)
    {
        return QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                              "insert into book (book_id, book_name, book_value) select i * 37 % 101, '第' || i || "
                              "'本', case when i % 3 = 0 then (case when i % 5 = 0 then '三十元' else '约' || i || "
                              "'元' end) when i % 3 = 1 then i when i % 4 = 2 then i || '.5' else null end from n")
            .arg(books);
    }

private Q_SLOTS:

    void parsePrice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<qint64>>("fen");
        const std::optional<qint64> none;
        QTest::newRow("whole") << "7" << std::optional<qint64>(700);
        QTest::newRow("two decimals") << "29.80" << std::optional<qint64>(2980);
        QTest::newRow("one decimal") << "29.8" << std::optional<qint64>(2980);
        QTest::newRow("blanks around") << " 12\t" << std::optional<qint64>(1200);
        QTest::newRow("negative") << "-5" << std::optional<qint64>(-500);
        QTest::newRow("plus") << "+3.5" << std::optional<qint64>(350);
        QTest::newRow("point first") << ".5" << std::optional<qint64>(50);
        QTest::newRow("point last") << "12." << std::optional<qint64>(1200);
        QTest::newRow("third decimal rounds up") << "29.805" << std::optional<qint64>(2981);
        QTest::newRow("third decimal rounds down") << "29.8049" << std::optional<qint64>(2980);
        QTest::newRow("negative rounds away") << "-0.005" << std::optional<qint64>(-1);
        QTest::newRow("largest") << "92233720368547758" << std::optional<qint64>(9223372036854775800);
        QTest::newRow("too large") << "92233720368547759" << none;
        QTest::newRow("chinese") << "三十元" << none;
        QTest::newRow("unit") << "29.8元" << none;
        QTest::newRow("grouping") << "1,200" << none;
        QTest::newRow("two points") << "1.2.3" << none;
        QTest::newRow("sign only") << "-" << none;
        QTest::newRow("point only") << "." << none;
        QTest::newRow("inner blank") << "1 2" << none;
        QTest::newRow("full-width digits") << "１２" << none;
    }
    void parsePrice()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<qint64>, fen);
        QCOMPARE(money::parsePrice(text), fen);
    }

    void tally_data()
    {
        QTest::addColumn<QStringList>("prices");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("average");
        QTest::newRow("empty catalogue") << QStringList{} << "0"
                                         << "0";
        QTest::newRow("whole, truncated") << QStringList{"7", "7", "8"} << "22"
                                          << "7";
        QTest::newRow("empty prices count as books") << QStringList{"10", "25", ""} << "35"
                                                     << "11";
        QTest::newRow("negative") << QStringList{"-5", "-5", "3"} << "-7"
                                  << "-2";
        QTest::newRow("decimals") << QStringList{"10.5", "10"} << "20.50"
                                  << "10.25";
        QTest::newRow("decimals, whole sum") << QStringList{"10.5", "10.5", "1"} << "22"
                                             << "7.33";
        QTest::newRow("decimals, average rounded to the fen") << QStringList{"18.5", "19.0", "89", "120"} << "246.50"
                                                              << "61.63";
        QTest::newRow("negative, rounded away from zero") << QStringList{"-0.01", "0"} << "-0.01"
                                                          << "-0.01";
        QTest::newRow("below one yuan") << QStringList{"-0.5"} << "-0.50"
                                        << "-0.50";
        QTest::newRow("not a number left out") << QStringList{"29.80", "三十元"} << "29.80"
                                               << "14.90";
        QTest::newRow("no overflow") << QStringList{"90000000000000000", "90000000000000000", "90000000000000000"}
                                     << "270000000000000000"
                                     << "90000000000000000";
    }
    void tally()
    {
        QFETCH(QStringList, prices);
        QFETCH(QString, total);
        QFETCH(QString, average);
        money::Tally t;
        for (const QString &p : prices)
            t.add(p);
        QCOMPARE(t.books(), qint64(prices.size()));
        QCOMPARE(money::amountText(t.total()), total);
        QCOMPARE(money::amountText(t.average()), average);
    }

    void bookCounts()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('空的'), ('O''Reilly'), ('小说')"));
        seedBooks(QStringLiteral("('边城', '小说', '', '', '', '', '', 1, 1, 3), ('围城', '小说', '', '', '', '', '', "
                                 "1, 1, 3), ('Qt', 'O''Reilly', '', '', '', '', '', 1, 1, 3), ('流浪', '无此类', '', "
                                 "'', '', '', '', 1, 1, 3)"));
        start();
        fixture::runDialog(form_main->action("msnumber"), [](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("书籍数目统计"));
            QCOMPARE(dialog->size(), QSize(191, 291));
            auto *list = child<QTreeWidget>(dialog, "listview_tnumber");
            QCOMPARE(list->headerItem()->text(0), QStringLiteral("分类"));
            QCOMPARE(list->headerItem()->text(1), QStringLiteral("数目"));
            QCOMPARE(list->columnWidth(0), 115);
        });
        QCOMPARE(figures("msnumber", "listview_tnumber"),
                 (QStringList{"小说=2", "空的=0", "O'Reilly=1", "小说=2", "全部书籍=4"}));

        // Computed afresh on every showing.
        seedBooks(QStringLiteral("('呐喊', '空的', '', '', '', '', '', 1, 1, 3)"));
        QCOMPARE(figures("msnumber", "listview_tnumber"),
                 (QStringList{"小说=2", "空的=1", "O'Reilly=1", "小说=2", "全部书籍=5"}));
        QVERIFY(msg::takeShown().isEmpty());
    }

    // A zero character inside a category name: each category counts its own
    // books, not those of the text before the zero.
    void bookCountsOfCategoriesWithZeroCharacter()
    {
        const QChar zero(0);
        seed(QStringLiteral("insert into category (cate_name) values ('小说'||char(0)||'续'), ('小说'), (char(0)),"
                            " ('O''R'||char(0)||'''')"));
        seedBooks(QStringLiteral("('边城', '小说', '', '', '', '', '', 1, 1, 3),"
                                 " ('续集', '小说'||char(0)||'续', '', '', '', '', '', 1, 1, 3),"
                                 " ('外传', '小说'||char(0)||'续', '', '', '', '', '', 1, 1, 3),"
                                 " ('空名', '', '', '', '', '', '', 1, 1, 3),"
                                 " ('Qt', 'O''R'||char(0)||'''', '', '', '', '', '', 1, 1, 3)"));
        start();
        QCOMPARE(figures("msnumber", "listview_tnumber"),
                 (QStringList{QStringLiteral("小说") + zero + QStringLiteral("续=2"), QStringLiteral("小说=1"),
                              QString(zero) + QStringLiteral("=0"),
                              QStringLiteral("O'R") + zero + QStringLiteral("'=1"), QStringLiteral("全部书籍=5")}));
        QVERIFY(msg::takeShown().isEmpty());
    }

    void lendingCounts()
    {
        seedBooks(QStringLiteral("('a', '', '', '', '', '', '', 1, 1, 3), ('b', '', '', '', '', '', '', 1, 1, 3),"
                                 " ('c', '', '', '', '', '', '', 2, 1, 3), ('d', '', '', '', '', '', '', 3, 1, 3),"
                                 " ('e', '', '', '', '', '', '', 3, 1, 3), ('f', '', '', '', '', '', '', NULL, 1, 3)"));
        start();
        fixture::runDialog(form_main->action("msjie"), [](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("借入借出统计"));
            QVERIFY(dialog->minimumSize() != dialog->maximumSize()); // resizable
            QCOMPARE(child<QTreeWidget>(dialog, "listview_tjie")->columnWidth(0), 150);
        });
        QCOMPARE(figures("msjie", "listview_tjie"),
                 (QStringList{"自己拥有的书籍=2", "借入的书籍=1", "已借出的书籍=2", "全部书籍=6"}));
    }

    void purchaseMoney()
    {
        seedBooks(QStringLiteral("('a', '', '', '', '', '', '7', 1, 1, 3), ('b', '', '', '', '', '', '7', 1, 1, 3),"
                                 " ('c', '', '', '', '', '', '8', 1, 1, 3)"));
        start();
        fixture::runDialog(form_main->action("msmoney"), [](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("购买金额统计"));
            QCOMPARE(dialog->size(), QSize(227, 145));
            auto *list = child<QTreeWidget>(dialog, "listview_tmoney");
            QCOMPARE(list->headerItem()->text(0), QStringLiteral("项目"));
            QCOMPARE(list->headerItem()->text(1), QStringLiteral("金额"));
        });
        QCOMPARE(figures("msmoney", "listview_tmoney"),
                 (QStringList{"书籍总数=3", "购买金额总数=22", "平均每本购买金额=7"}));
        QVERIFY(msg::takeShown().isEmpty());

        // Decimals count; a price that is no number is left out and named.
        seedBooks(QStringLiteral("('三国', '', '', '', '', '', '三十元', 1, 1, 3), ('d', '', '', '', '', '', ' 29.80 "
                                 "', 1, 1, 3), ('e', '', '', '', '', '', NULL, 1, 1, 3)"));
        QCOMPARE(figures("msmoney", "listview_tmoney"),
                 (QStringList{"书籍总数=6", "购买金额总数=51.80", "平均每本购买金额=8.63"}));
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, msg::Kind::Plain);
        QCOMPARE(shown.first().text,
                 QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n《三国》（价格：三十元）"));
    }

    // Each rule the help document states for purchase money, with books that
    // show it: the figures and the message the dialog gives for them, and the
    // words the help uses for the rule.
    void purchaseMoneyAsTheHelpStatesIt_data()
    {
        QTest::addColumn<QStringList>("prices");   // one book each, "第1本" on; "<null>" for none
        QTest::addColumn<QStringList>("expected"); // the three figures
        QTest::addColumn<QString>("message");      // empty: none shown
        QTest::addColumn<QStringList>("stated");
        const auto leftOut = [](const QStringList &lines) {
            return QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n") + lines.join(QLatin1Char('\n'));
        };
        QTest::newRow("whole prices: the average cut to whole yuan")
            << QStringList{"7", "7", "8"} << QStringList{"3", "22", "7"} << QString()
            << QStringList{"计入的价格都是整元时，平均每本购买金额也只取整元，小数部分直接舍去",
                           "7、7、8 元三本书，平均 7 元", "金额是整元时显示为整数"};
        QTest::newRow("decimal prices counted, the average rounded to the fen")
            << QStringList{"18.5", "19", "89", "120"} << QStringList{"4", "246.50", "61.63"} << QString()
            << QStringList{"带小数的价格同样计入购买金额总数", "只要有一个计入的价格不是整元", "按四舍五入精确到分",
                           "18.5、19、89、120 元四本书，平均 61.63 元", "否则显示两位小数"};
        QTest::newRow("a third decimal rounds the price to the fen")
            << QStringList{"29.805"} << QStringList{"1", "29.81", "29.81"} << QString()
            << QStringList{"小数超过两位时按四舍五入算到分", "29.805 按 29.81 计"};
        QTest::newRow("signs and blanks") << QStringList{"-5", " 12 ", "+3"} << QStringList{"3", "10", "3"} << QString()
                                          << QStringList{"价格前面可以有正负号，前后的空格不影响计算"};
        QTest::newRow("empty prices count as books only")
            << QStringList{"10", "", "<null>", "  ", "25"} << QStringList{"5", "35", "7"} << QString()
            << QStringList{"价格为空的书不计入金额，但计入书籍总数"};
        QTest::newRow("prices that are no number are named, not summed")
            << QStringList{"29.80", "三十元", "29.8元", "1,200"} << QStringList{"4", "29.80", "7.45"}
            << leftOut({"《第2本》（价格：三十元）", "《第3本》（价格：29.8元）", "《第4本》（价格：1,200）"})
            << QStringList{"价格不是数字的书", "同样不计入金额，但计入书籍总数", "程序会列出这些书的书名和价格"};
        QStringList many(22, QStringLiteral("三十元"));
        many.prepend(QStringLiteral("10"));
        QStringList named;
        for (int i = 2; i <= 21; ++i)
            named << QStringLiteral("《第%1本》（价格：三十元）").arg(i);
        QTest::newRow("more than twenty named as a count")
            << many << QStringList{"23", "10", "0"} << leftOut(named) + QStringLiteral("\n……等，共 22 本")
            << QStringList{"最多列出 20 本，更多时说明一共有几本"};
        QTest::newRow("no book") << QStringList{} << QStringList{"0", "0", "0"} << QString()
                                 << QStringList{"没有书时三项都是 0"};
    }
    void purchaseMoneyAsTheHelpStatesIt()
    {
        QFETCH(QStringList, prices);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        QFETCH(QStringList, stated);
        if (!prices.isEmpty()) {
            QStringList rows;
            for (int i = 0; i < prices.size(); ++i) {
                const QString price = prices[i] == QLatin1String("<null>")
                                          ? QStringLiteral("NULL")
                                          : QLatin1Char('\'') + prices[i] + QLatin1Char('\'');
                rows << QStringLiteral("('第%1本', %2)").arg(i + 1).arg(price);
            }
            seed(QStringLiteral("insert into book (book_name, book_value) values ") + rows.join(QLatin1Char(',')));
        }
        start();
        QCOMPARE(figures("msmoney", "listview_tmoney"),
                 (QStringList{QStringLiteral("书籍总数=") + expected[0], QStringLiteral("购买金额总数=") + expected[1],
                              QStringLiteral("平均每本购买金额=") + expected[2]}));
        const QList<msg::Shown> shown = msg::takeShown();
        if (message.isEmpty()) {
            QVERIFY(shown.isEmpty());
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first().kind, msg::Kind::Plain);
            QCOMPARE(shown.first().text, message);
        }

        const QString help = helpOnPurchaseMoney();
        QVERIFY(!help.isEmpty());
        for (const QString &words : stated)
            QVERIFY2(help.contains(words), qPrintable(words));
    }

    void purchaseMoneyOfAnEmptyCatalogue()
    {
        start();
        QCOMPARE(figures("msmoney", "listview_tmoney"),
                 (QStringList{"书籍总数=0", "购买金额总数=0", "平均每本购买金额=0"}));
        QCOMPARE(figures("msjie", "listview_tjie"),
                 (QStringList{"自己拥有的书籍=0", "借入的书籍=0", "已借出的书籍=0", "全部书籍=0"}));
        QCOMPARE(figures("msnumber", "listview_tnumber"), QStringList{QStringLiteral("全部书籍=0")});
    }

    // Whatever the file holds, each statistic shows the figures that
    // counting record by record gives (countedRecordByRecord): categories and
    // their books' texts that differ only in letter case, blanks, a zero
    // character or the kind of value; lending codes written in other ways;
    // prices that are no number, named in the order of the file.
    void figuresAsCountedRecordByRecord_data()
    {
        QTest::addColumn<QString>("sql"); // fills the data file
        QTest::newRow("categories") << QStringLiteral(
            "insert into category (cate_name) values ('小说'), ('空的'), (NULL), ('小说'), (5), (2.50),"
            " ('O''Reilly'), ('100%'), ('a_b'), ('abc'), ('Abc'), ('abc '), ('小说'||char(0)||'续'), (x'41'),"
            " (''), (cast(x'ff41' as text)), ('a%');"
            "insert into book (book_name, book_cate) values ('1', '小说'), ('2', '小说'), ('3', NULL),"
            " ('4', NULL), ('5', ''), ('6', '5'), ('7', 5), ('8', 5.0), ('9', 2.5), ('10', '2.50'),"
            " ('11', x'35'), ('12', 'O''Reilly'), ('13', 'o''reilly'), ('14', '100%'), ('15', '1000%'),"
            " ('16', 'a_b'), ('17', 'axb'), ('18', 'ABC'), ('19', 'abc'), ('20', 'abc'), ('21', 'abc '),"
            " ('22', ' abc'), ('23', '小说'||char(0)||'续'), ('24', '小说'||char(0)), ('25', x'41'),"
            " ('26', 'A'), ('27', cast(x'ff41' as text)), ('28', char(65533)||'A'), ('29', 'a%'),"
            " ('30', 'abcd'), ('31', x''), ('32', '小说 ')");
        QTest::newRow("lending codes") << QStringLiteral(
            "insert into book (book_name, book_loan) values ('a', 1), ('b', '1'), ('c', ' 1'),"
            " ('d', '1.0'), ('e', 1.0), ('f', '1 '), ('g', 2), ('h', '2'), ('i', ' 2'), ('j', '2.0'),"
            " ('k', 2.0), ('l', '02'), ('m', 3), ('n', '3'), ('o', '3e0'), ('p', 3.0000001),"
            " ('q', NULL), ('r', 0), ('s', 7), ('t', -1), ('u', '2x'), ('v', x'32'), ('w', ''),"
            " ('x', '三'), ('y', 2.5)");
        QTest::newRow("prices, keys not in the order inserted")
            << QStringLiteral("insert into book (book_id, book_name, book_value) values (9, '九', '三十元'),"
                              " (3, '三', x'ff'), (7, '七', '12'), (1, '一', 12.5), (5, '五', ' 29.80 '),"
                              " (2, '二', '三十元'), (8, '八', x'3130'), (4, '四', NULL), (6, '六', ''),"
                              " (10, '十', '1,200'), (11, NULL, '29.805'), (12, '十二', 1e20),"
                              " (13, NULL, cast('免费' as blob)), (14, '十四', '92233720368547759'),"
                              " (15, '十五', '-0.005'), (16, '十六', '免费'), (17, '十七', cast(x'ff' as text)), (19, "
                              "'十九', '12'), (18, '十八', 12.5)");
        QTest::newRow("twenty prices left out") << booksWithPricesLeftOut(60);
        QTest::newRow("twenty-one prices left out") << booksWithPricesLeftOut(63);
        QTest::newRow("more prices left out than are named") << booksWithPricesLeftOut(100);
        QTest::newRow("categories, no book")
            << QStringLiteral("insert into category (cate_name) values ('小说'), (NULL), ('')");
        QTest::newRow("no book, no category") << QString();
    }
    void figuresAsCountedRecordByRecord()
    {
        QFETCH(QString, sql);
        if (!sql.isEmpty())
            seed(sql);
        const Shown counted = countedRecordByRecord();
        start();
        QCOMPARE(figures("msnumber", "listview_tnumber"), counted.numbers);
        QCOMPARE(figures("msjie", "listview_tjie"), counted.lending);
        QVERIFY(msg::takeShown().isEmpty());
        QCOMPARE(figures("msmoney", "listview_tmoney"), counted.money);
        const QList<msg::Shown> shown = msg::takeShown();
        if (counted.message.isEmpty()) {
            QVERIFY(shown.isEmpty());
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first().kind, msg::Kind::Plain);
            QCOMPARE(shown.first().text, counted.message);
        }
    }

    void search_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("title only") << "城" << QStringList{} << QStringList{"边城", "围城"};
        QTest::newRow("title, letter case folded") << "qt" << QStringList{} << QStringList{"Qt 编程"};
        QTest::newRow("category") << "小说" << QStringList{"check_cate"} << QStringList{"边城", "围城"};
        QTest::newRow("category box unchecked") << "小说" << QStringList{} << QStringList{};
        QTest::newRow("first author") << "钱" << QStringList{"check_author"} << QStringList{"围城"};
        QTest::newRow("second author") << "杨" << QStringList{"check_author"} << QStringList{"围城"};
        QTest::newRow("note") << "湘西" << QStringList{"check_note"} << QStringList{"边城"};
        QTest::newRow("reader") << "老王" << QStringList{"check_reader"} << QStringList{"Qt 编程", "100% 纯"};
        QTest::newRow("all four, each book once")
            << "老" << QStringList{"check_cate", "check_author", "check_note", "check_reader"}
            << QStringList{"边城", "围城", "Qt 编程", "100% 纯"};
        QTest::newRow("blanks only") << " " << QStringList{} << QStringList{"Qt 编程", "100% 纯"};
        QTest::newRow("percent matches every title")
            << "%" << QStringList{} << QStringList{"边城", "围城", "Qt 编程", "100% 纯", "O'Reilly"};
        QTest::newRow("underscore matches one character") << "Q_" << QStringList{} << QStringList{"Qt 编程"};
        QTest::newRow("single quote") << "O'R" << QStringList{} << QStringList{"O'Reilly"};
        QTest::newRow("single quote, category") << "n's" << QStringList{"check_cate"} << QStringList{"100% 纯"};
        QTest::newRow("single quote, author") << "D'A" << QStringList{"check_author"} << QStringList{"100% 纯"};
        QTest::newRow("single quote, note") << "t's" << QStringList{"check_note"} << QStringList{"Qt 编程"};
        QTest::newRow("single quote, reader") << "L'A" << QStringList{"check_reader"} << QStringList{"O'Reilly"};
        QTest::newRow("percent inside an author") << "沈%文" << QStringList{"check_author"} << QStringList{"边城"};
        QTest::newRow("underscore inside a note") << "老_" << QStringList{"check_note"} << QStringList{"围城"};
        QTest::newRow("nothing found") << "没有这本书" << QStringList{"check_cate", "check_note"} << QStringList{};
    }
    void search()
    {
        QFETCH(QString, word);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, titles);
        seedBooks(QStringLiteral("('边城', '小说', '沈从文', NULL, '湘西', '老李', '', 1, 1, 3),"
                                 " ('围城', '小说', '钱锺书', '杨绛', '老派', NULL, '', 1, 1, 3),"
                                 " ('Qt 编程', '计算机', 'X', '', 'it''s Qt', '老王', '', 2, 1, 3),"
                                 " ('100% 纯', 'Children''s', 'D''Arcy', '', '', '老王', '', 3, 1, 3),"
                                 " ('O''Reilly', '', '', '', '', 'L''Amour', '', 1, 1, 3)"));
        start();
        search(word, boxes);
        QCOMPARE(listedTitles(), titles);
        // Found rows are built by the book list's own rule.
        if (!titles.isEmpty()) {
            BookListModel *model = form_main->listview_main->model();
            QCOMPARE(model->rowTexts(0).size(), 17);
        }
        // Only a search that finds nothing says so.
        QStringList shown;
        for (const msg::Shown &message : msg::takeShown())
            shown << message.text;
        QCOMPARE(shown,
                 titles.isEmpty() ? QStringList{QStringLiteral("没有找到含有“%1”的书籍").arg(word)} : QStringList());
    }

    void searchDialogStartsAfreshAndCancelKeepsTheList()
    {
        seedBooks(QStringLiteral("('边城', '小说', '', '', '', '', '', 1, 1, 3), ('围城', '小说', '', '', '', '', '', "
                                 "1, 1, 3)"));
        start();
        fixture::runDialog(form_main->action("mtfind"), [](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("查找书籍"));
            QCOMPARE(dialog->size(), QSize(347, 179));
            auto *edit = child<QLineEdit>(dialog, "edit_find");
            auto *find = child<QPushButton>(dialog, "button_ok");
            QVERIFY(!find->isEnabled());
            type(edit, QStringLiteral("边"));
            QVERIFY(find->isEnabled());
            QTest::keyClick(edit, Qt::Key_Backspace);
            QVERIFY(!find->isEnabled());
            type(edit, QStringLiteral("边"));
            check(child<QCheckBox>(dialog, "check_author"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_close"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(listedTitles(), (QStringList{"边城", "围城"}));

        fixture::runDialog(form_main->action("mtfind"), [](QDialog *dialog) {
            QVERIFY(child<QLineEdit>(dialog, "edit_find")->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(dialog, "edit_find"));
            for (const char *box : {"check_cate", "check_author", "check_note", "check_reader"})
                QVERIFY(!child<QCheckBox>(dialog, box)->isChecked());
            QVERIFY(!child<QPushButton>(dialog, "button_ok")->isEnabled());
        });
    }

    // Words SQLite cannot match as they are typed are refused before the
    // search runs: the list and the dialog stay as they were. A zero ends
    // SQLite's pattern; a pattern ("%" + word + "%") longer than 50,000
    // bytes of UTF-8 is too complex for it.
    void searchWordLimits_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("refusal"); // empty: the search runs
        QTest::addColumn<QStringList>("titles");
        const QString zeroRefused =
            QStringLiteral("查找内容中含有空字符（U+0000），无法按它查找。请删去该字符后再查找。");
        const auto tooLong = [](int bytes) {
            return QStringLiteral("查找内容太长，无法查找：最多 49998 个字节（UTF-8 编码：英文字母和数字每个 1 "
                                  "个字节，汉字每个 3 个字节），现在有 %1 个字节。")
                .arg(bytes);
        };
        const QString book(16666, QChar(0x4E66)); // 书, 3 bytes each: 49998
        QString faces;
        for (int i = 0; i < 12500; ++i)
            faces += QString::fromUcs4(U"\U0001F600", 1); // 4 bytes each: 50000
        QTest::newRow("zero inside") << QStringLiteral("边") + QChar(0) + QStringLiteral("城") << zeroRefused
                                     << QStringList();
        QTest::newRow("zero alone") << QString(QChar(0)) << zeroRefused << QStringList();
        QTest::newRow("one byte too many") << book + QLatin1Char('a') << tooLong(49999) << QStringList();
        QTest::newRow("characters of four bytes") << faces << tooLong(50000) << QStringList();
        QTest::newRow("longest allowed") << book << QString() << QStringList{book};
        QTest::newRow("a quote counts once") << book.left(16665) + QStringLiteral("'''") << QString() << QStringList();
    }
    void searchWordLimits()
    {
        QFETCH(QString, word);
        QFETCH(QString, refusal);
        QFETCH(QStringList, titles);
        seedBooks(QStringLiteral("('边城', '小说', '', '', '', '', '', 1, 1, 3), ('围城', '小说', '', '', '', '', '', "
                                 "1, 1, 3), (replace(hex(zeroblob(16666)), '00', '书'), '', '', '', '', '', '', 1, 1, "
                                 "3)"));
        start();
        const QStringList before = listedTitles();
        QCOMPARE(before.size(), 3);
        fixture::runDialog(form_main->action("mtfind"), [&](QDialog *dialog) {
            auto *edit = child<QLineEdit>(dialog, "edit_find");
            edit->setText(word); // pasted
            QCOMPARE(edit->text(), word);
            check(child<QCheckBox>(dialog, "check_cate"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_ok"), Qt::LeftButton);
            const QList<msg::Shown> shown = msg::takeShown();
            if (refusal.isEmpty()) {
                // A search that runs and finds nothing says so.
                QCOMPARE(shown.size(), titles.isEmpty() ? 1 : 0);
                if (titles.isEmpty())
                    QVERIFY(shown[0].text.startsWith(QStringLiteral("没有找到含有“")));
                QVERIFY(!dialog->isVisible());
                return;
            }
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first().kind, msg::Kind::Plain);
            QCOMPARE(shown.first().text, refusal);
            QVERIFY(dialog->isVisible());
            QCOMPARE(edit->text(), word);
            QVERIFY(child<QCheckBox>(dialog, "check_cate")->isChecked());
        });
        QCOMPARE(listedTitles(), refusal.isEmpty() ? titles : before);
    }

    void searchThatFailsEmptiesTheListAndKeepsTheDialog()
    {
        seedBooks(QStringLiteral("('边城', '小说', '', '', '', '', '', 1, 1, 3)"));
        start();
        QCOMPARE(listedTitles(), QStringList{QStringLiteral("边城")});
        seed(QStringLiteral("alter table book rename to book_old"));
        fixture::runDialog(form_main->action("mtfind"), [](QDialog *dialog) {
            type(child<QLineEdit>(dialog, "edit_find"), QStringLiteral("边"));
            check(child<QCheckBox>(dialog, "check_note"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_ok"), Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(child<QLineEdit>(dialog, "edit_find")->text(), QStringLiteral("边"));
            QVERIFY(child<QCheckBox>(dialog, "check_note")->isChecked());
            const QList<msg::Shown> shown = msg::takeShown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first().kind, msg::Kind::Error);
        });
        QVERIFY(listedTitles().isEmpty());
    }

    // Codes that are no known codes (none, 0, out of range, a text) in each
    // of the three columns: the lending statistic and the chart figures count
    // them apart from the known ones, and a search lists their books with
    // every cell in its column.
    void unknownCodesAreCountedApart()
    {
        seedBooks(
            QStringLiteral("('a', '', '', '', '', '', '', 1, 1, 1), ('b', '', '', '', '', '', '', 2, 2, 5),"
                           " ('c', '', '', '', '', '', '', 3, NULL, 0), ('d', '', '', '', '', '', '', NULL, 0, 7),"
                           " ('e', '', '', '', '', '', '', 0, 7, 'abc'),"
                           " ('f', '', '', '', '', '', '', 7, 'abc', NULL),"
                           " ('g', '', '', '', '', '', '', 'abc', 1, 3)"));
        start();
        QCOMPARE(figures("msjie", "listview_tjie"),
                 (QStringList{"自己拥有的书籍=1", "借入的书籍=1", "已借出的书籍=1", "全部书籍=7"}));
        const auto counts = [](const std::vector<figures::Part> &parts) {
            QStringList out;
            for (const figures::Part &p : parts)
                out << p.label + QLatin1Char('=') + QString::number(p.books);
            return out;
        };
        Catalogue books(dataFile());
        QCOMPARE(counts(books.booksByCode(figures::Code::Loan)),
                 (QStringList{"自己拥有=1", "借入=1", "已借出=1", "其他=4"}));
        QCOMPARE(counts(books.booksByCode(figures::Code::Read)), (QStringList{"已读=2", "未读=1", "未填=4"}));
        QCOMPARE(counts(books.booksByCode(figures::Code::Rating)),
                 (QStringList{"非常喜欢=1", "很不错=0", "还可以=1", "不太好=0", "很糟糕=1", "未填=4"}));

        search(QStringLiteral("%"), {});
        QCOMPARE(listedTitles(), (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
        BookListModel *model = form_main->listview_main->model();
        QCOMPARE(model->rowTexts(4).mid(12), (QStringList{"abc", "0", "7", "", "5"}));
        QCOMPARE(model->rowTexts(6).mid(12), (QStringList{"还可以", "abc", "已读", "", "7"}));
        QVERIFY(msg::takeShown().isEmpty());
    }

    // The figures behind the charts tell what the three lists tell, on a
    // catalogue of odd values: no category, one not in the table, a name
    // with a quote; codes of no value, out of range, stored as text; dates
    // that are no dates; decimal prices, prices that are no numbers, none.
    void chartFiguresAgreeWithTheLists()
    {
        seed(QStringLiteral(
            "insert into category (cate_name) values ('小说'), ('历史'), ('它''s'), ('空类');"
            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating, book_buyd, book_value) "
            "values ('a', '小说', 1, 1, 1, '2003-09-02', '29.80'),"
            "('b', '小说', 2, 2, 5, '2003-01-31', '10'),"
            "('c', '历史', '3', 1, 3, '2010-05-06', '三十元'),"
            "('d', '它''s', 3, NULL, 7, '2003-13-45', '0.05'),"
            "('e', NULL, NULL, 9, NULL, NULL, NULL),"
            "('f', '不在表中', 7, 2, 2, '2010-12-31', ''),"
            "('g', '小说', 1, 1, '1', 'bogus', '1,200')"));
        start();
        const auto figureOf = [](const QStringList &rows, const QString &caption) {
            for (const QString &row : rows)
                if (row.section(QLatin1Char('='), 0, 0) == caption)
                    return row.section(QLatin1Char('='), 1).toLongLong();
            return qint64(-1);
        };
        const auto sum = [](const std::vector<figures::Part> &parts) {
            qint64 n = 0;
            for (const figures::Part &p : parts)
                n += p.books;
            return n;
        };
        Catalogue books(dataFile());

        const QStringList numbers = figures("msnumber", "listview_tnumber");
        const std::vector<figures::Part> categories = books.booksByCategory(100);
        for (const figures::Part &p : categories)
            if (p.label != QStringLiteral("其他"))
                QCOMPARE(p.books, figureOf(numbers, p.label));
        QCOMPARE(categories.front().label, QStringLiteral("小说")); // the largest first
        QCOMPARE(categories.back().label, QStringLiteral("其他"));  // no category, or none listed
        QCOMPARE(categories.back().books, 2);
        QCOMPARE(sum(categories), figureOf(numbers, QStringLiteral("全部书籍")));
        const std::vector<figures::Part> two = books.booksByCategory(2);
        QCOMPARE(two.size(), size_t(3));
        QCOMPARE(two.back().books, 3); // 它's and the two without a listed category
        QCOMPARE(figures::withBooks(categories).size(), categories.size() - 1); // 空类 has none

        const QStringList lending = figures("msjie", "listview_tjie");
        const std::vector<figures::Part> loans = books.booksByCode(figures::Code::Loan);
        QCOMPARE(loans[0].books, figureOf(lending, QStringLiteral("自己拥有的书籍")));
        QCOMPARE(loans[1].books, figureOf(lending, QStringLiteral("借入的书籍")));
        QCOMPARE(loans[2].books, figureOf(lending, QStringLiteral("已借出的书籍")));
        QCOMPARE(loans[3].books, 2); // no value, 7
        QCOMPARE(sum(loans), figureOf(lending, QStringLiteral("全部书籍")));

        const std::vector<figures::Part> read = books.booksByCode(figures::Code::Read);
        QCOMPARE(read[0].books, 3);
        QCOMPARE(read[1].books, 2);
        QCOMPARE(read[2].books, 2);
        const std::vector<figures::Part> rating = books.booksByCode(figures::Code::Rating);
        QCOMPARE(rating[0].label, QStringLiteral("非常喜欢"));
        QCOMPARE(rating[0].books, 2);
        QCOMPARE(rating[5].books, 2);

        QStringList money = figures("msmoney", "listview_tmoney");
        msg::takeShown(); // the prices that are no numbers, named
        const figures::Purchases bought = books.purchasesByYear();
        QStringList years;
        qint64 booksBought = 0;
        money::Fen spent = 0;
        for (const figures::Year &y : bought.years) {
            years << QStringLiteral("%1:%2:%3").arg(y.label).arg(y.books).arg(money::amountText(y.spent));
            booksBought += y.books;
            spent += y.spent;
        }
        QCOMPARE(years, (QStringList{"2003:2:39.80", "2010:2:0", "日期未知:3:0.05"}));
        QCOMPARE(bought.leftOut, 2);
        QCOMPARE(bought.leftOutPrices.size(), 2);
        QVERIFY(bought.leftOutPrices.contains(QStringLiteral("三十元")) &&
                bought.leftOutPrices.contains(QStringLiteral("1,200")));
        QCOMPARE(booksBought, figureOf(money, QStringLiteral("书籍总数")));
        QCOMPARE(QStringLiteral("购买金额总数=") + money::amountText(spent),
                 money.filter(QStringLiteral("购买金额总数")).value(0));
    }
};

QTEST_MAIN(StatsTest)
#include "tst_stats.moc"
