// The import window, from "从CSV文件导入书籍" to the summary: the mapping,
// the preview, the records left out, duplicates, cancelling, a failure on
// the way, and the main window afterwards.
#include "tst_transfer.h"

#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/bookrow.h"
#include "support/fixture.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Another program's export of a reading list: English headers, ISBNs kept
// as text by a spreadsheet's formula, a review over two lines with quotes, a
// star rating, shelves, years alone, and a page count that is no number.
const QByteArray kOtherProgram =
    "Book Id,Title,Author,Additional Authors,ISBN,ISBN13,My Rating,Average Rating,Publisher,Number of Pages,"
    "Year Published,Original Publication Year,Date Read,Date Added,Bookshelves,My Review\n"
    "101,The Left Hand of Darkness,Ursula K. Le Guin,\"\",=\"0441478123\",=\"9780441478125\",5,4.09,Ace,304,2000,"
    "1969,2021/03/15,2020/12/01,\"science-fiction, read\",\"A long review\nover two lines, with \"\"quotes\"\"\"\n"
    "102,Dune,Frank Herbert,,=\"\",=\"\",0,4.25,Chilton Books,,,1965,,2022/01/10,to-read,\n"
    "103,\"Neuromancer, Special Edition\",William Gibson,\"Jack Womack, Someone\",=\"0441569595\","
    "=\"9780441569595\",3,3.89,Ace,271,1984,,,2019/07/04,\"cyberpunk, currently-reading\",\n"
    "104,Bad Pages,Some One,,,,4,,,three hundred,2001,,,2020/01/01,read,\n";

// The books it holds as stored, every field but the number: the page count
// that is no number left empty, the day added to the list no purchase, the
// several shelves no category, a rating of 0 stars and a reading state no
// column gives unknown.
const QStringList kOtherProgramBooks{
    "'The Left Hand of Darkness'|NULL|'Ursula K. Le Guin'|''|NULL|'0441478123'|'Ace'|'2000-01-01'|304|NULL|NULL|"
    "NULL|1|1|1|NULL|NULL|NULL",
    "'Dune'|NULL|'Frank Herbert'|NULL|NULL|''|'Chilton Books'|'1965-01-01'|NULL|NULL|NULL|NULL|NULL|1|NULL|NULL|NULL|"
    "NULL",
    "'Neuromancer, Special Edition'|NULL|'William Gibson'|'Jack Womack, Someone'|NULL|'0441569595'|'Ace'|"
    "'1984-01-01'|271|NULL|NULL|NULL|3|1|NULL|NULL|NULL|NULL",
    "'Bad Pages'|NULL|'Some One'|NULL|NULL|NULL|NULL|'2001-01-01'|NULL|NULL|NULL|NULL|2|1|NULL|NULL|NULL|NULL",
};

// The field a column goes to, as its cell in the list of columns shows it.
QString mapping(QDialog *window, int column)
{
    return fixture::child<QTableWidget>(window, "grid_mapping")->item(column, 2)->text();
}

QAbstractItemModel *model(QDialog *window, const char *name)
{
    return fixture::child<QAbstractItemModel>(window, name);
}

QStringList rows(const QAbstractItemModel *model, int column)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, column).data().toString();
    return out;
}

QStringList headers(const QAbstractItemModel *model)
{
    QStringList out;
    for (int c = 0; c < model->columnCount(); ++c)
        out << model->headerData(c, Qt::Horizontal).toString();
    return out;
}

QString text(QDialog *window, const char *label)
{
    return fixture::child<QLabel>(window, label)->text();
}

// Chooses the column's field in its pick list, as a user does.
void choose(QDialog *window, int column, const QString &target)
{
    auto *grid = fixture::child<QTableWidget>(window, "grid_mapping");
    grid->setCurrentCell(column, 2);
    grid->edit(grid->model()->index(column, 2));
    auto *combo = fixture::child<QComboBox>(window, qPrintable(QStringLiteral("combo_column%1").arg(column)));
    const int index = combo->findText(target);
    QVERIFY2(index >= 0, qPrintable(target));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
    QCOMPARE(mapping(window, column), target);
}

} // namespace

void TransferTest::otherProgramsExportIsMapped()
{
    const QString path = writeFile(QStringLiteral("other.csv"), kOtherProgram);
    start();
    inImportWindow(path, [&](QDialog *window) {
        const QString file = text(window, "label_file");
        QVERIFY2(file.contains(QStringLiteral("other.csv")) && file.contains(QStringLiteral("共 4 行")),
                 qPrintable(file));
        QCOMPARE(fixture::child<QComboBox>(window, "combo_encoding")->currentText(), QStringLiteral("UTF-8"));
        QCOMPARE(fixture::child<QComboBox>(window, "combo_separator")->currentText(), QStringLiteral("逗号"));
        QVERIFY(!fixture::child<QComboBox>(window, "combo_dateorder")->isVisibleTo(window));
        QStringList targets;
        for (int c = 0; c < 16; ++c)
            targets << mapping(window, c);
        QCOMPARE(targets, (QStringList{"不导入", "书名", "作者", "第二作者", "ISBN", "ISBN", "喜爱程度（按1～5星评分）",
                                       "不导入", "出版社", "页数", "出版日期", "出版日期", "是否已读（按读完日期）",
                                       "不导入", "不导入", "不导入"}));
        QCOMPARE(text(window, "label_ignored"),
                 QStringLiteral("没有导入的列：Book Id、Average Rating、Date Added、Bookshelves、My Review"));

        QAbstractItemModel *preview = model(window, "model_preview");
        QAbstractItemModelTester previewTester(preview);
        QCOMPARE(headers(preview), (QStringList{"行", "状态", "书名", "作者", "第二作者", "ISBN", "出版社", "出版日期",
                                                "页数", "喜爱程度", "借入借出", "是否已读"}));
        QCOMPARE(rows(preview, 0), (QStringList{"2", "4", "5", "6"}));
        QCOMPARE(rows(preview, 1), (QStringList{"导入", "导入", "导入", "导入（部分留空）"}));
        QCOMPARE(rows(preview, 2),
                 (QStringList{"The Left Hand of Darkness", "Dune", "Neuromancer, Special Edition", "Bad Pages"}));
        QCOMPARE(rows(preview, 9), (QStringList{"非常喜欢", "", "还可以", "很不错"}));
        QCOMPARE(rows(preview, 10), (QStringList{"自己拥有", "自己拥有", "自己拥有", "自己拥有"}));
        QCOMPARE(rows(preview, 11), (QStringList{"已读", "", "", ""}));

        QAbstractItemModel *skipped = model(window, "model_problems");
        QAbstractItemModelTester skippedTester(skipped);
        QCOMPARE(rows(skipped, 0), QStringList{"第6行"});
        QCOMPARE(rows(skipped, 1), QStringList{"导入，部分留空"});
        QCOMPARE(rows(skipped, 2), QStringList{"Number of Pages：“three hundred”无法识别为整数，已留空"});
        QCOMPARE(text(window, "label_counts"),
                 QStringLiteral("可以导入 4 本书（其中 1 本有资料无法识别，将留空）；数据文件中已有的书 0 本（不导入）；"
                                "无法读取的行 0 行（不导入）。\n只与数据文件中已有的书比较是否重复：文件中相同的书各自导入。"));
        QCOMPARE(fixture::child<QAbstractButton>(window, "button_import")->text(), QStringLiteral("导入 4 本书(&I)"));
        click(window, "button_import");
    });
    QCOMPARE(onlyMessage(), QStringLiteral("已从文件“other.csv”导入 4 本书。\n"
                                           "新加入列表的分类 0 个、出版社 2 个、作者 5 个、书友 0 个。\n"
                                           "其中 1 本书有无法识别的资料，已留空：\n"
                                           "    Number of Pages：无法识别为整数：1 本\n"
                                           "没有导入的列：Book Id、Average Rating、Date Added、Bookshelves、My Review"));
    QCOMPARE(storedBooks(), kOtherProgramBooks);
    QCOMPARE(query(QStringLiteral("select count(*) from category")), QStringList{"0"});
    QCOMPARE(query(QStringLiteral("select author_name from author order by 1")),
             (QStringList{"Frank Herbert", "Jack Womack, Someone", "Some One", "Ursula K. Le Guin", "William Gibson"}));
    QCOMPARE(query(QStringLiteral("select pub_name from pub order by 1")), (QStringList{"Ace", "Chilton Books"}));
}

void TransferTest::changedMappingChangesTheBooks()
{
    const QString path = writeFile(QStringLiteral("other.csv"), kOtherProgram);
    start();
    inImportWindow(path, [&](QDialog *window) {
        choose(window, 15, QStringLiteral("内容简介")); // My Review
        choose(window, 9, QStringLiteral("不导入"));    // Number of Pages
        choose(window, 14, QStringLiteral("是否已读")); // Bookshelves as plain codes: none reads
        QAbstractItemModel *preview = model(window, "model_preview");
        QVERIFY(headers(preview).contains(QStringLiteral("内容简介")));
        QVERIFY(!headers(preview).contains(QStringLiteral("页数")));
        QCOMPARE(rows(preview, 1), (QStringList{"导入", "导入（部分留空）", "导入（部分留空）", "导入（部分留空）"}));
        QCOMPARE(rows(model(window, "model_problems"), 2).first(),
                 QStringLiteral("Bookshelves：“to-read”无法识别，已留空"));
        QVERIFY(fixture::child<QAbstractButton>(window, "button_import")->isEnabled());

        choose(window, 14, QStringLiteral("是否已读（按书架）"));
        QCOMPARE(rows(preview, 1), (QStringList{"导入", "导入", "导入", "导入"}));
        QCOMPARE(model(window, "model_problems")->rowCount(), 0);
        click(window, "button_import");
    });
    QVERIFY(onlyMessage().startsWith(QStringLiteral("已从文件“other.csv”导入 4 本书。")));
    QCOMPARE(query(QStringLiteral("select quote(book_note) from book order by book_id")),
             (QStringList{"'A long review\nover two lines, with \"quotes\"'", "NULL", "NULL", "NULL"}));
    QCOMPARE(query(QStringLiteral("select quote(book_pages) from book order by book_id")),
             (QStringList{"NULL", "NULL", "NULL", "NULL"}));
    // Read comes from the date read, else from the shelves.
    QCOMPARE(query(QStringLiteral("select book_readed from book order by book_id")), (QStringList{"1", "2", "2", "1"}));
}

void TransferTest::gb18030AndTabsAreDetected()
{
    // 书名,作者,价格 / 红楼梦,曹雪芹𠮷,"59,70" in GB18030.
    const QString gb = writeFile(QStringLiteral("gb.csv"), QByteArray::fromHex("cae9c3fb2cd7f7d5df2cbcdbb8f10d0a"
                                                                               "baecc2a5c3ce2cb2dcd1a9c7db9534b2352c"
                                                                               "2235392c3730220d0a"));
    const QString tabs =
        writeFile(QStringLiteral("tabs.tsv"),
                  QStringLiteral("Title\tAuthor\tPublisher\n西游记, 上册\t吴承恩\t人民文学出版社\n").toUtf8());
    start();
    inImportWindow(gb, [&](QDialog *window) {
        QCOMPARE(fixture::child<QComboBox>(window, "combo_encoding")->currentText(), QStringLiteral("GB18030"));
        QCOMPARE(fixture::child<QComboBox>(window, "combo_separator")->currentText(), QStringLiteral("逗号"));
        click(window, "button_import");
    });
    QVERIFY(onlyMessage().startsWith(QStringLiteral("已从文件“gb.csv”导入 1 本书。")));
    inImportWindow(tabs, [&](QDialog *window) {
        QCOMPARE(fixture::child<QComboBox>(window, "combo_separator")->currentText(), QStringLiteral("制表符"));
        click(window, "button_import");
    });
    QVERIFY(onlyMessage().startsWith(QStringLiteral("已从文件“tabs.tsv”导入 1 本书。")));
    QCOMPARE(query(QStringLiteral("select book_name || '/' || book_author || '/' || quote(book_value) || '/' || "
                                  "ifnull(book_pub, '') from book order by book_id")),
             (QStringList{"红楼梦/曹雪芹𠮷/'59,70'/", "西游记, 上册/吴承恩/NULL/人民文学出版社"}));
}

void TransferTest::duplicatesAreMarked_data()
{
    QTest::addColumn<bool>("anyway");
    QTest::newRow("skipped, as they are at first") << false;
    QTest::newRow("imported anyway") << true;
}

void TransferTest::duplicatesAreMarked()
{
    QFETCH(bool, anyway);
    seed(QStringLiteral("insert into book (book_name, book_author, book_isbn, book_loan) "
                        "values ('红楼梦', '曹雪芹', '9787020002207', 1)"));
    const QString path =
        writeFile(QStringLiteral("dups.csv"), QStringLiteral("书名,作者,ISBN\r\n"
                                                             "红楼梦（校注本）,曹雪芹,7-02-000220-7\r\n"
                                                             "红楼梦, 曹雪芹 ,\r\n"
                                                             "西游记,吴承恩,978-7-02-000221-4\r\n"
                                                             "西游记,吴承恩,\r\n"
                                                             "三国演义,罗贯中,9787020008742\r\n"
                                                             "Three Kingdoms,Luo,978-7-02-000874-2\r\n")
                                                  .toUtf8());
    start();
    inImportWindow(path, [&](QDialog *window) {
        // Only the catalogue is asked: the two 西游记 and the two books of
        // one ISBN in the file are each a book of their own.
        QAbstractItemModel *skipped = model(window, "model_problems");
        QCOMPARE(rows(skipped, 0), (QStringList{"第2行", "第3行"}));
        QCOMPARE(rows(skipped, 1), (QStringList{"不导入（重复）", "不导入（重复）"}));
        QCOMPARE(rows(skipped, 2),
                 (QStringList{"与已有的书籍重复（编号1，ISBN相同）", "与已有的书籍重复（编号1，书名和作者相同）"}));
        QCOMPARE(rows(model(window, "model_preview"), 1),
                 (QStringList{"已有", "已有", "导入", "导入", "导入", "导入"}));
        auto *check = fixture::child<QCheckBox>(window, "check_duplicates");
        QVERIFY(!check->isChecked());
        QVERIFY(text(window, "label_counts")
                    .startsWith(QStringLiteral("可以导入 4 本书；数据文件中已有的书 2 本（不导入）；无法读取的行 0 行（不导入）。")));
        if (anyway) {
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
            QVERIFY(check->isChecked());
            QVERIFY(text(window, "label_counts").contains(QStringLiteral("数据文件中已有的书 2 本（也导入）")));
            QCOMPARE(rows(skipped, 1), (QStringList{"导入（重复）", "导入（重复）"}));
        }
        QCOMPARE(fixture::child<QAbstractButton>(window, "button_import")->text(),
                 anyway ? QStringLiteral("导入 6 本书(&I)") : QStringLiteral("导入 4 本书(&I)"));
        click(window, "button_import");
    });
    const QString summary = onlyMessage();
    QVERIFY2(summary.startsWith(anyway ? QStringLiteral("已从文件“dups.csv”导入 6 本书。")
                                       : QStringLiteral("已从文件“dups.csv”导入 4 本书。")),
             qPrintable(summary));
    QCOMPARE(summary.contains(QStringLiteral("与已有书籍重复：2 行")), !anyway);
    QCOMPARE(bookCount(), anyway ? 7 : 5);
    if (!anyway)
        QCOMPARE(query(QStringLiteral("select book_name from book order by book_id")),
                 (QStringList{"红楼梦", "西游记", "西游记", "三国演义", "Three Kingdoms"}));
}

void TransferTest::cancelWritesNothing()
{
    const QString path = writeFile(QStringLiteral("two.csv"), "Title,Author,Category\r\nDune,Frank Herbert,SF\r\n");
    start();
    inImportWindow(path, [&](QDialog *window) { click(window, "button_cancel"); });
    QVERIFY(msg::takeShown().isEmpty());
    QCOMPARE(bookCount(), 0);
    QCOMPARE(query(QStringLiteral("select (select count(*) from category) + (select count(*) from author)")),
             QStringList{"0"});
}

void TransferTest::cancelledProgressWritesNothing()
{
    QByteArray bytes = "Title,Author,Category\r\n";
    for (int i = 0; i < 20000; ++i)
        bytes += "Book " + QByteArray::number(i) + ",Author " + QByteArray::number(i % 500) + ",Shelf " +
                 QByteArray::number(i % 40) + "\r\n";
    const QString path = writeFile(QStringLiteral("large.csv"), bytes);
    seed(QStringLiteral("insert into book (book_name, book_loan) values ('红楼梦', 1)"));
    const QStringList before = storedBooks();
    start();
    bool shown = false;
    inImportWindow(path, [&](QDialog *window) {
        fixture::onNextModal([&](QDialog *progress) {
            shown = true;
            QCOMPARE(progress->objectName(), QStringLiteral("progress_csv"));
            QTest::mouseClick(progress->findChild<QAbstractButton *>(), Qt::LeftButton);
        });
        click(window, "button_import");
    });
    QVERIFY(shown);
    QCOMPARE(onlyMessage(), QStringLiteral("从文件“large.csv”导入书籍已取消，数据文件没有改动。"));
    QCOMPARE(storedBooks(), before);
    QCOMPARE(query(QStringLiteral("select (select count(*) from category) + (select count(*) from author)")),
             QStringList{"0"});
    QCOMPARE(form_main->listview_main->model()->rowCount(), 1);
}

void TransferTest::failureHalfWayLeavesTheCatalogue()
{
    seed(QStringLiteral("insert into category (cate_name) values ('旧分类');"
                        "insert into book (book_name, book_cate, book_loan) values ('旧书', '旧分类', 1);"
                        "create trigger refuse before insert on book when new.book_name = '炸弹' "
                        "begin select raise(abort, '不许导入这本书'); end;"));
    const QStringList before = storedBooks();
    const QString path = writeFile(QStringLiteral("bomb.csv"), QStringLiteral("书名,分类,作者,出版社\r\n"
                                                                              "甲,新分类,新作者,新出版社\r\n"
                                                                              "炸弹,另一分类,另一作者,\r\n"
                                                                              "乙,新分类,新作者,\r\n")
                                                                   .toUtf8());
    start();
    importThroughWindow(path);
    const QString message = onlyMessage();
    QVERIFY2(message.contains(QStringLiteral("“data.qmd”")) && message.contains(QStringLiteral("不许导入这本书")),
             qPrintable(message));
    QCOMPARE(storedBooks(), before);
    QCOMPARE(query(QStringLiteral("select cate_name from category")), QStringList{"旧分类"});
    QCOMPARE(query(QStringLiteral("select (select count(*) from author) + (select count(*) from pub)")),
             QStringList{"0"});
    QCOMPARE(form_main->listview_main->model()->rowCount(), 1);
}

void TransferTest::listAndTreeShowTheNewBooks()
{
    seed(QStringLiteral("insert into category (cate_name) values ('小说');"
                        "insert into book (book_name, book_cate, book_rating, book_loan, book_readed) "
                        "values ('旧书', '小说', 1, 1, 1);"));
    const QString path = writeFile(QStringLiteral("new.csv"), QStringLiteral("书名,分类\r\n"
                                                                             "新书甲,小说\r\n"
                                                                             "新书乙,诗歌\r\n")
                                                                  .toUtf8());
    start();
    importThroughWindow(path);
    QVERIFY(onlyMessage().contains(QStringLiteral("新加入列表的分类 1 个")));
    QTreeWidgetItem *root = form_main->treeview_main->topLevelItem(0);
    QStringList categories;
    for (int i = 0; i < root->childCount(); ++i)
        categories << root->child(i)->text(0);
    QCOMPARE(categories, (QStringList{"小说", "诗歌"}));
    // Every new row shows its loan and its number where the list keeps
    // them, so that it can be opened, changed and deleted.
    BookListModel *list = form_main->listview_main->model();
    QCOMPARE(list->rowCount(), 3);
    const QStringList numbers = query(QStringLiteral("select book_id from book order by book_id"));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(list->cell(r, bookrow::Loan), QStringLiteral("自己拥有"));
        QCOMPARE(list->cell(r, bookrow::Number), numbers[r]);
    }
    QCOMPARE(list->cell(2, bookrow::Title), QStringLiteral("新书乙"));
}
