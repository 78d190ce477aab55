// Every command of the main window that reads or writes a file, through its
// real windows, on a catalogue that is not the data file beside the program:
// each works on the catalogue in use, and the program's folder (with its
// own data.qmd, or with none, as installed) stays byte for byte as it was.
#include "tst_saves.h"

#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "stats/form_loans.h"
#include "support/filehelpers.h"

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QtTest>

using Layout = fixture::CatalogueElsewhere::Layout;

namespace {

void click(QDialog *dialog, const char *button)
{
    QTest::mouseClick(fixture::child<QPushButton>(dialog, button), Qt::LeftButton);
}

// The rows of a statistics window: "caption=figure".
QStringList figures(const char *command, const char *list)
{
    QStringList rows;
    fixture::runDialog(form_main->action(command), [&](QDialog *dialog) {
        auto *view = fixture::child<QTreeWidget>(dialog, list);
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            rows << view->topLevelItem(i)->text(0) + QLatin1Char('=') + view->topLevelItem(i)->text(1);
    });
    return rows;
}

void selectBook(const QString &number)
{
    const int row = form_main->listview_main->model()->rowOfNumber(number);
    QVERIFY2(row >= 0, qPrintable(number));
    form_main->listview_main->selectRow(row);
}

} // namespace

void SavesTest::everyCommandWorksOnTheCatalogueInUse_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("a data.qmd beside the program, another catalogue in use") << int(Layout::Portable);
    QTest::newRow("installed: nothing beside the program, the user's catalogue") << int(Layout::Installed);
}

void SavesTest::everyCommandWorksOnTheCatalogueInUse()
{
    QFETCH(int, layout);
    open(Layout(layout));
    const QString catalogue = place->dataFile();
    fixture::exec(catalogue, QStringLiteral("insert into category (cate_name) values ('Novels');"
                                            "insert into book (book_id, book_name, book_cate, book_loan, book_reader, "
                                            "book_loand, book_value, book_rating, book_readed) values "
                                            "(1, 'Walden', 'Novels', 1, null, null, '10', 1, 1),"
                                            "(2, 'Emma', 'Novels', 3, '张三', '2026-01-01', '12', 1, 1),"
                                            "(3, 'Dune', 'Novels', 2, '李四', '2026-03-01', '20', 1, 1)"));
    Tform_loans::setToday(QDate(2026, 6, 1));
    const auto resetToday = qScopeGuard([] { Tform_loans::setToday(QDate()); });
    const auto books = [&] { return catalogueValue(QStringLiteral("select count(*) from book")).toInt(); };
    const QString out = place->outside();
    start();
    QCOMPARE(form_main->listview_main->model()->rowCount(), 3);

    // 导出为CSV文件: the catalogue's books.
    save(QStringLiteral("csv"), out + QStringLiteral("books.csv"));
    QVERIFY(msg::takeShown().isEmpty());
    const QString csv = QString::fromUtf8(filehelpers::bytes(out + QStringLiteral("books.csv")));
    QVERIFY2(csv.contains(QStringLiteral("\r\n1,Walden,")) && csv.contains(QStringLiteral("\r\n3,Dune,")) &&
                 !csv.contains(QStringLiteral("Decoy")),
             qPrintable(csv));
    QCOMPARE(csv.count(QStringLiteral("\r\n")), 1 + 3);

    // 从CSV文件导入书籍: into the catalogue.
    filehelpers::writeFile(out + QStringLiteral("new.csv"), QStringLiteral("书名,分类\r\nWalking,Novels\r\n").toUtf8());
    bool imported = false;
    fixture::onNextModal([&](QDialog *dialog) {
        imported = dialog->objectName() == QLatin1String("form_csvimport");
        click(dialog, "button_import");
    });
    filedialog::setNextFileName(out + QStringLiteral("new.csv"));
    trigger("mfimportcsv");
    QVERIFY(imported);
    QCOMPARE(books(), 4);
    QCOMPARE(msg::takeShown().size(), 1); // the summary
    QCOMPARE(form_main->listview_main->model()->rowCount(), 4);

    // The two export windows: the catalogue's books, the new one too.
    for (const QString &name : {QStringLiteral("books.html"), QStringLiteral("books.xls")}) {
        save(name.endsWith(QLatin1String("html")) ? QStringLiteral("html") : QStringLiteral("excel"), out + name);
        QVERIFY(msg::takeShown().isEmpty());
        const QByteArray written = filehelpers::bytes(out + name);
        QVERIFY2(written.contains("Walking") && written.contains("Walden") && !written.contains("Decoy"),
                 qPrintable(name));
    }

    // 备份数据: a copy of the catalogue.
    save(QStringLiteral("backup"), out + QStringLiteral("backup.qmd"));
    QVERIFY(msg::takeShown().isEmpty());
    QCOMPARE(filehelpers::bytes(out + QStringLiteral("backup.qmd")), filehelpers::bytes(catalogue));

    // 借阅一览's CSV: the catalogue's loans.
    save(QStringLiteral("loans"), out + QStringLiteral("loans.csv"));
    const QList<msg::Shown> told = msg::takeShown();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].text.contains(QStringLiteral("已把 2 本书写入")), qPrintable(told[0].text));
    const QString loans = QString::fromUtf8(filehelpers::bytes(out + QStringLiteral("loans.csv")));
    QVERIFY2(loans.contains(QStringLiteral("\r\n2,Emma,")) && loans.contains(QStringLiteral("\r\n3,Dune,")) &&
                 !loans.contains(QStringLiteral("Decoy")),
             qPrintable(loans));

    // 统计图表's picture.
    save(QStringLiteral("chart"), out + QStringLiteral("chart.png"));
    QVERIFY(msg::takeShown().isEmpty());
    QVERIFY(!QImage(out + QStringLiteral("chart.png")).isNull());

    // A book added, changed and deleted.
    fixture::runDialog(form_main->action("meaddbook"), [](QDialog *dialog) {
        fixture::child<QLineEdit>(dialog, "book_name")->insert(QStringLiteral("Added"));
        click(dialog, "button_add");
    });
    QCOMPARE(books(), 5);
    const QString added = catalogueValue(QStringLiteral("select book_id from book where book_name = 'Added'"));
    selectBook(added);
    fixture::runDialog(form_main->action("meeditbook"), [](QDialog *dialog) {
        fixture::child<QLineEdit>(dialog, "book_name")->setText(QStringLiteral("Changed"));
        click(dialog, "button_add");
    });
    QCOMPARE(catalogueValue(QStringLiteral("select book_name from book where book_id = ") + added),
             QStringLiteral("Changed"));
    selectBook(added);
    msg::setNextAnswer(true);
    trigger("medelbook");
    QCOMPARE(books(), 4);
    QCOMPARE(msg::takeShown().size(), 1); // the question

    // A category added.
    fixture::runDialog(form_main->action("meaddcate"), [](QDialog *dialog) {
        fixture::type(fixture::child<QLineEdit>(dialog, "edit_new"), QStringLiteral("Poems"));
        click(dialog, "button1");
    });
    QCOMPARE(catalogueValue(QStringLiteral("select count(*) from category where cate_name = 'Poems'")),
             QStringLiteral("1"));

    // The start-up password.
    fixture::onNextModal([](QDialog *dialog) {
        fixture::type(fixture::child<QLineEdit>(dialog, "edit_new"), QStringLiteral("pw"));
        fixture::type(fixture::child<QLineEdit>(dialog, "edit_new2"), QStringLiteral("pw"));
        click(dialog, "button_ok");
    });
    trigger("mtpasswd");
    QCOMPARE(catalogueValue(QStringLiteral("select reg_passwd from reg")), QStringLiteral("pw"));
    QVERIFY(msg::takeShown().isEmpty());

    // The statistics count the catalogue's books.
    QVERIFY(figures("msnumber", "listview_tnumber").contains(QStringLiteral("全部书籍=4")));
    QVERIFY(figures("msjie", "listview_tjie").contains(QStringLiteral("已借出的书籍=1")));
    QVERIFY(figures("msmoney", "listview_tmoney").contains(QStringLiteral("购买金额总数=42")));
    QVERIFY(msg::takeShown().isEmpty());

    // Nothing of the program's changed, and nothing was left beside the
    // catalogue but its lock.
    QCOMPARE(place->programFilesChanged(), QString());
    QCOMPARE(filehelpers::filesIn(QFileInfo(catalogue).path()),
             (QStringList{QFileInfo(catalogue).fileName(), QFileInfo(catalogue).fileName() + QStringLiteral(".lock")}));
}
