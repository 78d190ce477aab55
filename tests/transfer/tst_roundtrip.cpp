// The export through "导出为CSV文件", its bytes, its failures, and the round
// trip: every book exported and imported again into an empty catalogue.
#include "tst_transfer.h"

#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QtTest>

namespace {

const QByteArray kHeader =
    QStringLiteral("编号,书名,分类,作者,第二作者,语言,ISBN,出版社,出版日期,页数,购买地点,购买日期,"
                   "价格,喜爱程度,借入借出,是否已读,关系人,借入借出日期,内容简介\r\n")
        .toUtf8();

// Books with every kind of value a catalogue can hold, one field after
// another: no values at all; empty texts and codes out of range; quotes,
// commas and line breaks of each kind; characters beyond GBK; blanks around
// texts; texts a spreadsheet would take for formulas; numbers at the edges.
const QString kOddBooks = QStringLiteral(
    "insert into book (book_id) values (1);"
    "insert into book values (2, '', '', '', '', '', '', '', null, null, '', null, '', 7, 0, -1, '', null, '');"
    "insert into book values (3, '红楼梦', '小说', '曹雪芹', '高鹗', '中文', '978-7-02-000220-7', '人民文学出版社', "
    "'1982-03-01', 1606, '北京', '2020-01-05', '59.70', 1, 3, 1, '张三', '2023-11-30', "
    "'第一段' || char(13, 10) || '第二段' || char(10) || '第三段' || char(13));"
    "insert into book values (5, '\"引号\"开头, 还有逗号', '计算机', 'O''Brien, Jr.', null, '英文', '0441478123', "
    "'Addison-Wesley; Boston', '2000-02-29', 0, 'Online', '1999-12-31', '059.70', 5, 2, 2, "
    "'Ann \"the reader\"', '2000-02-29', ' 前后有空格 ');"
    "insert into book values (6, '𠮷野家📚', '€', '李' || char(9) || '四', null, '0', null, null, '0001-01-01', "
    "2147483648, '  ', '9999-12-31', null, 9, 9, 3, null, null, '\"\"');"
    "insert into book values (8, '=1+1', '@分类', '-2', '+3', null, null, null, null, -5, null, null, '', 0, 1, "
    "2, null, null, null);"
    // Two copies of one book, as the entry window allows after its question.
    "insert into book values (9, '红楼梦', '小说', '曹雪芹', '高鹗', '中文', '978-7-02-000220-7', '人民文学出版社', "
    "'1982-03-01', 1606, '北京', '2020-01-05', '59.70', 1, 3, 1, '张三', '2023-11-30', null);"
    "insert into book values (10, '红楼梦', '小说', '曹雪芹', '高鹗', '中文', '978-7-02-000220-7', '人民文学出版社', "
    "'1982-03-01', 1606, '北京', '2020-01-05', '59.70', 1, 3, 1, '张三', '2023-11-30', null);"
    // Dates of a year alone (kept as a number), not dates at all, an empty
    // text; codes that are texts; texts that start with the marks SQLite
    // takes for a byte order; a formula after a quote; a text in a number's
    // column.
    "insert into book values (11, char(65534) || 'abc', char(65279) || '分类', '''=x', '''''-1', null, null, null, "
    "1999, 'about 300', null, '明年春天', '-12.5', 'abc', null, '', null, '2024-02-30', char(13) || 'note');"
    "insert into book values (12, 'Dune', null, null, null, null, null, null, '', 12.5, null, '2024-5-1x', null, "
    "null, null, null, null, '0974', null);");

} // namespace

void TransferTest::exportWritesEveryFieldAsText()
{
    seed(QStringLiteral(
        "insert into book (book_id) values (1);"
        "insert into book values (2, '红楼梦', '小说', '曹雪芹', '高鹗', '中文', '978-7-02-000220-7', "
        "'人民文学出版社', '1982-03-01', 1606, '北京', '2020-01-05', '59.70', 1, 3, 1, '张三', '2023-11-30', "
        "'宝黛, \"木石前盟\"' || char(13, 10) || '第二段');"
        "insert into book values (5, '', null, null, null, null, null, null, null, null, null, null, null, 7, 0, "
        "null, null, null, null);"));
    start();
    const QString path = folder->path() + QStringLiteral("books.csv");
    exportThroughWindow(path);
    QVERIFY(msg::takeShown().isEmpty());

    const QByteArray expected =
        "\xEF\xBB\xBF" + kHeader + "1,,,,,,,,,,,,,,,,,,\r\n" +
        QStringLiteral("2,红楼梦,小说,曹雪芹,高鹗,中文,978-7-02-000220-7,人民文学出版社,1982-03-01,1606,北京,"
                       "2020-01-05,59.70,非常喜欢,已借出,已读,张三,2023-11-30,\"宝黛, \"\"木石前盟\"\"\r\n第二段\"\r\n")
            .toUtf8() +
        "5,\"\",,,,,,,,,,,,7,0,,,,\r\n";
    QCOMPARE(filehelpers::bytes(path), expected);
    QCOMPARE(filehelpers::filesIn(folder->path()), (QStringList{"books.csv", "data.qmd"}));
    QCOMPARE(form_main->statusBar()->currentMessage(),
             QStringLiteral("已导出 3 本书到 %1").arg(QDir::toNativeSeparators(path)));
    // The save box proposes the file type and a name.
    const QList<filedialog::Options> asked = filedialog::takeAsked();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].proposedName, QStringLiteral("qmp2csv.csv"));
    QCOMPARE(asked[0].defaultSuffix, QStringLiteral("csv"));
}

void TransferTest::roundTripKeepsEveryField_data()
{
    QTest::addColumn<bool>("byCommand");
    QTest::newRow("through the windows") << false;
    QTest::newRow("through the command line") << true;
}

void TransferTest::roundTripKeepsEveryField()
{
    QFETCH(bool, byCommand);
    seed(kOddBooks);
    const QStringList before = storedBooks();
    QCOMPARE(before.size(), 10);
    start();
    const QString path = folder->path() + QStringLiteral("books.csv");
    exportThroughWindow(path);

    // Into the same catalogue, emptied of its books.
    seed(QStringLiteral("delete from book"));
    QCOMPARE(bookCount(), 0);
    if (byCommand) {
        QString out, err;
        QCOMPARE(importByCommand(path, {}, &out, &err), 0);
        QVERIFY2(out.contains(QStringLiteral("已导入 10 本书（其中 0 本")), qPrintable(out));
        QCOMPARE(err, QString());
    } else {
        importThroughWindow(path);
        QVERIFY2(onlyMessage().startsWith(QStringLiteral("已从文件“books.csv”导入 10 本书。")), "the summary");
    }
    QCOMPARE(storedBooks(), before);

    // Imported once more, every book with a title is in the catalogue
    // already; with the duplicates, all are added again.
    QString out;
    QCOMPARE(importByCommand(path, {}, &out), 0);
    QVERIFY2(out.contains(QStringLiteral("已导入 2 本书")), qPrintable(out));
    ImportOptions all;
    all.withDuplicates = true;
    QCOMPARE(importByCommand(path, all, &out), 0);
    QCOMPARE(bookCount(), 22);
}

void TransferTest::exportCancelledLeavesNoFile()
{
    seed(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
                        "insert into book (book_name, book_loan) select 'book ' || i, 1 from n"));
    start();
    bool shown = false;
    fixture::onNextModal([&](QDialog *progress) {
        shown = true;
        QCOMPARE(progress->objectName(), QStringLiteral("progress_csv"));
        QTest::mouseClick(progress->findChild<QAbstractButton *>(), Qt::LeftButton);
    });
    exportThroughWindow(folder->path() + QStringLiteral("books.csv"));
    QVERIFY(shown);
    QVERIFY(msg::takeShown().isEmpty());
    QCOMPARE(filehelpers::filesIn(folder->path()), QStringList{"data.qmd"});
    QCOMPARE(form_main->statusBar()->currentMessage(), QStringLiteral("导出已取消，没有写出文件。"));
}

void TransferTest::exportThatFailsKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("told");
    const struct
    {
        const char *name, *where, *told;
    } rows[] = {
        {"the data file itself", "data file", "不能把CSV文件保存为正在使用的数据文件"},
        {"below a regular file", "below a file", "路径中有一段不是文件夹"},
        {"a full disk", "full", "磁盘已满"},
        {"a read-only disk", "read-only", "磁盘是只读的"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.where) << QString::fromUtf8(r.told);
}

void TransferTest::exportThatFailsKeepsTheOldFile()
{
    QFETCH(QString, where);
    QFETCH(QString, told);
    // Enough books that the file outgrows what is left on the small disk.
    seed(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                        "insert into book (book_name, book_loan, book_note) select 'book ' || i, 1, "
                        "'a summary of a hundred characters or so, to make the file large enough to fill the disk' "
                        "from n"));
    start();
    QString target;
    fixture::Tmpfs disk;
    if (where == QLatin1String("data file")) {
        target = dataFile();
    } else if (where == QLatin1String("below a file")) {
        target = dataFile() + QStringLiteral("/books.csv");
    } else {
        if (!disk.isMounted())
            QSKIP("no tmpfs can be mounted here");
        target = disk.path() + QStringLiteral("books.csv");
        filehelpers::writeFile(target, "old");
        if (where == QLatin1String("full"))
            disk.fill();
        else
            QVERIFY(disk.makeReadOnly());
    }
    exportThroughWindow(target);
    const QString message = onlyMessage();
    QVERIFY2(message.contains(QStringLiteral("“%1”").arg(QFileInfo(target).fileName())) && message.contains(told),
             qPrintable(message));
    QCOMPARE(bookCount(), 3000);
    if (where == QLatin1String("full") || where == QLatin1String("read-only")) {
        QCOMPARE(filehelpers::bytes(target), QByteArray("old"));
        QStringList left = filehelpers::filesIn(disk.path());
        left.removeAll(QStringLiteral("filler.bin"));
        QCOMPARE(left, QStringList{"books.csv"});
    }
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), folder->path());
}
