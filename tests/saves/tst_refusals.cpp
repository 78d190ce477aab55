// Every save, through its real window, onto a file the program lives by:
// refused when the name is chosen, with the reason and the file named, and
// nothing written or replaced.
#include "tst_saves.h"

#include "components/messages.h"
#include "support/filehelpers.h"

#include <QtTest>

using Layout = fixture::CatalogueElsewhere::Layout;

void SavesTest::savesOntoTheCataloguesFilesAreRefused_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    const struct
    {
        const char *how, *what;
    } saves[] = {
        {"csv", "CSV文件"}, {"html", "HTML文件"}, {"excel", "Excel工作表"},
        {"backup", "备份"}, {"loans", "CSV文件"}, {"chart", "图片"},
    };
    const struct
    {
        const char *name, *target, *reason;
    } targets[] = {
        {"the catalogue", "", "正在使用的数据文件“藏书.qmd”（文件夹：%1）本身"},
        {"its lock", ".lock", "“藏书.qmd.lock”（文件夹：%1）：它是正在使用的数据文件的锁文件"},
        {"its journal", "-journal", "“藏书.qmd-journal”（文件夹：%1）：它是正在使用的数据文件的日志文件"},
        {"the restore program", "qmrestore", "“qmrestore”（文件夹：%1）：它是本程序的文件"},
    };
    for (const auto &s : saves)
        for (const auto &t : targets)
            QTest::addRow("%s onto %s", s.how, t.name) << QString::fromLatin1(s.how) << QString::fromUtf8(s.what)
                                                       << QString::fromUtf8(t.target) << QString::fromUtf8(t.reason);
}

void SavesTest::savesOntoTheCataloguesFilesAreRefused()
{
    QFETCH(QString, how);
    QFETCH(QString, what);
    QFETCH(QString, target);
    QFETCH(QString, reason);
    open(Layout::Portable);
    const QString catalogue = place->dataFile();
    fixture::exec(catalogue, QStringLiteral("insert into book (book_name, book_loan, book_reader, book_loand) "
                                            "values ('Walden', 3, '张三', '2026-01-01')"));
    const QString path = target == QLatin1String("qmrestore") ? place->programFolder() + target : catalogue + target;
    const QString folder = QFileInfo(path).path();
    const QByteArray before = filehelpers::bytes(path), catalogueBefore = filehelpers::bytes(catalogue);
    const QStringList files = filehelpers::filesIn(folder);
    start();

    save(how, path);
    const QString message = onlyError();
    QVERIFY2(message.startsWith(QStringLiteral("不能把%1保存为").arg(what)) && message.contains(reason.arg(folder)) &&
                 message.contains(QStringLiteral("请另选一个文件名")),
             qPrintable(message));
    QCOMPARE(filehelpers::bytes(path), before);
    QCOMPARE(filehelpers::bytes(catalogue), catalogueBefore);
    QCOMPARE(filehelpers::filesIn(folder), files);
    QCOMPARE(place->programFilesChanged(), QString());
}
