// The main window: its commands, the category bar, the book list and the
// category tree, backups of the data file, the help document and the home
// page, driven through the real widgets.
#include "books/form_bookbase.h"
#include "catalogue/schema.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/datetext.h"
#include "support/filehelpers.h"
#include "support/guitest.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

using namespace filehelpers;

class MainTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    QString programFolder() const { return QDir(folder->path()).canonicalPath(); }
    bool inProgramFolder() const { return QDir::current().canonicalPath() == programFolder(); }

    // Why the file is not a whole catalogue holding this many books; empty
    // when it is one: SQLite's integrity check finds nothing wrong, its tables
    // and columns are those of a new catalogue, and it holds that many books.
    static QString catalogueFault(const QString &file, int books)
    {
        const QStringList integrity = fixture::column(file, QStringLiteral("PRAGMA integrity_check"));
        if (integrity != QStringList{QStringLiteral("ok")})
            return QStringLiteral("damaged: ") + integrity.join(QLatin1Char(' '));
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("new.qmd"));
        schema::create(fresh);
        const QString schema =
            QStringLiteral("select type || ' ' || name || ': ' || sql from sqlite_master order by name");
        if (fixture::column(file, schema) != fixture::column(fresh, schema))
            return QStringLiteral("tables: ") + fixture::column(file, schema).join(QStringLiteral("; "));
        const QString count = fixture::value(file, QStringLiteral("select count(*) from book"));
        if (count != QString::number(books))
            return QStringLiteral("books: ") + count;
        return QString();
    }

    static BookListModel *model() { return form_main->listview_main->model(); }
    static QStringList column(int c)
    {
        QStringList texts;
        for (int r = 0; r < model()->rowCount(); ++r)
            texts << model()->cell(r, c);
        return texts;
    }
    static QTreeWidget *tree() { return form_main->treeview_main; }
    static QTreeWidgetItem *node(const QString &text)
    {
        const QList<QTreeWidgetItem *> found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static void clickNode(QTreeWidgetItem *item)
    {
        const QRect rect = tree()->visualItemRect(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void clickHeader(int column)
    {
        QHeaderView *header = form_main->listview_main->reportView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    static QWidget *categoryBar() { return form_main->findChild<QWidget *>(QStringLiteral("panel_left")); }
    static QStringList shownTexts()
    {
        QStringList texts;
        for (const msg::Shown &s : msg::takeShown())
            texts << s.text;
        return texts;
    }
    // The texts of a menu or toolbar's actions, "-" for a separator.
    static QStringList entries(const QList<QAction *> &actions, bool names)
    {
        QStringList out;
        for (QAction *a : actions)
            out << (names && !a->objectName().isEmpty() ? a->objectName()
                    : a->isSeparator()                  ? QStringLiteral("-")
                                                        : a->text());
        return out;
    }

private Q_SLOTS:
    void menusHoldTheCommandsInOrder()
    {
        start();
        const QList<QMenu *> menus = form_main->menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
        QStringList titles, items;
        for (QAction *a : form_main->menuBar()->actions()) {
            titles << a->text();
            items << entries(a->menu()->actions(), true).join(QLatin1Char(' '));
        }
        QCOMPARE(titles, (QStringList{"文件(&F)", "编辑(&E)", "统计(&S)", "查看(&V)", "工具(&T)", "帮助(&H)"}));
        QCOMPARE(items, (QStringList{
                            "mfdaoru mfbeifen - mfsaveto mfsavecsv mfimportcsv - mfexit",
                            "meaddbook meeditbook medelbook - meaddcate meeditcate medelcate - mereader meauthor mepub",
                            "msnumber msmoney - msjie msloans - mschart",
                            "mvbigicon mvsmallicon mvlist mvxiangxi - mvtreelist",
                            "mtfind - mtpasswd",
                            "mhhelp - mhabout mhhomepage",
                        }));
        QCOMPARE(entries(form_main->action("mfsaveto")->menu()->actions(), true),
                 (QStringList{"mfsaveexcel", "mfsavehtml"}));

        QStringList bars;
        for (QToolBar *bar : form_main->findChildren<QToolBar *>()) {
            QCOMPARE(form_main->toolBarArea(bar), Qt::TopToolBarArea);
            QVERIFY(!bar->isMovable() && !bar->isFloatable());
            bars << bar->windowTitle() + QLatin1Char(':') + entries(bar->actions(), true).join(QLatin1Char(' '));
        }
        QCOMPARE(bars, (QStringList{
                           "书籍工具栏:meaddbook meeditbook medelbook",
                           "类别工具栏:meaddcate meeditcate medelcate",
                           "统计工具栏:msnumber msmoney msjie msloans mschart",
                           "附加数据库工具栏:mereader meauthor mepub",
                           "查看工具栏:mvbigicon mvsmallicon mvlist mvxiangxi",
                           "其它工具栏:mfdaoru mfbeifen mfsaveto mfsavecsv mfimportcsv - mtfind - mhhomepage mhhelp",
                       }));
        // All six bars stand in the one row under the menu bar.
        QSet<int> tops;
        for (QToolBar *bar : form_main->findChildren<QToolBar *>())
            tops << bar->geometry().top();
        QCOMPARE(tops.size(), 1);
        QVERIFY(!form_main->createPopupMenu());
    }

    void commandsHaveCaptionTooltipAndPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("picture");
        const struct
        {
            const char *name, *caption;
            bool picture;
        } rows[] = {
            {"mfdaoru", "还原备份数据(&O)", true}, {"mfbeifen", "备份数据库(&B)", true},
            {"mfsaveto", "另存为(&S)", true},      {"mfsaveexcel", "存为EXCEL文件", false},
            {"mfsavehtml", "存为HTML文件", false}, {"mfexit", "退出(&X)", false},
            {"meaddbook", "添加新书籍(&N)", true}, {"meeditbook", "修改书籍资料(&E)", true},
            {"medelbook", "删除书籍(&D)", true},   {"meaddcate", "添加新类别(&A)", true},
            {"meeditcate", "编辑类别(&C)", true},  {"medelcate", "删除类别(&L)", true},
            {"mereader", "书友(&R)", true},        {"meauthor", "作者(&U)", true},
            {"mepub", "出版社(&K)", true},         {"msnumber", "书籍数目统计(&B)", true},
            {"msmoney", "购买金额统计(&M)", true}, {"msjie", "借入借出统计(&L)", true},
            {"mvbigicon", "大图标(&L)", true},     {"mvsmallicon", "小图标(&S)", true},
            {"mvlist", "列表(&I)", true},          {"mvxiangxi", "详细资料(&D)", true},
            {"mvtreelist", "分类栏(&C)", false},   {"mtfind", "查找", true},
            {"mtpasswd", "数据库密码(&P)", true},  {"mhhelp", "目录与索引(&H)", true},
            {"mhabout", "关于本软件(&A)", false},  {"mhhomepage", "我们的网站(&P)", true},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString::fromLatin1(r.name) << QString::fromUtf8(r.caption) << r.picture;
        QTest::newRow("mfsavecsv") << QStringLiteral("mfsavecsv") << QStringLiteral("导出为CSV文件(&C)…") << true;
        QTest::newRow("mfimportcsv") << QStringLiteral("mfimportcsv") << QStringLiteral("从CSV文件导入书籍(&I)…")
                                     << true;
        QTest::newRow("msloans") << QStringLiteral("msloans") << QStringLiteral("借阅一览(&O)") << true;
        QTest::newRow("mschart") << QStringLiteral("mschart") << QStringLiteral("统计图表(&G)") << true;
    }
    void commandsHaveCaptionTooltipAndPicture()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, picture);
        start();
        QAction *action = form_main->action(name.toLatin1().constData());
        QVERIFY(action);
        QCOMPARE(action->objectName(), name);
        QCOMPARE(action->text(), caption);
        if (name != QLatin1String("mfsaveto"))
            QCOMPARE(action->toolTip(), QString(caption).remove(QLatin1Char('&')));
        QCOMPARE(!action->icon().isNull(), picture);
        if (picture)
            QCOMPARE(action->icon().pixmap(QSize(64, 64)).size(), QSize(16, 16)); // a 16 x 16 picture
        // The standard keys beside the access keys; Delete only in the list.
        const QHash<QString, QString> keys{{"meaddbook", "Ctrl+N"},
                                           {"meeditbook", "Ctrl+E"},
                                           {"medelbook", "Del"},
                                           {"mtfind", "Ctrl+F"},
                                           {"mhhelp", "F1"}};
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), keys.value(name));
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
    }

    void popupMenus()
    {
        start();
        QCOMPARE(entries(form_main->popmenu_cate()->actions(), false),
                 (QStringList{"添加新类别", "修改类别", "删除类别", "-", "关闭分类栏"}));
        QCOMPARE(entries(form_main->popmenu_booklist()->actions(), false),
                 (QStringList{"查看书籍资料", "-", "添加新书籍", "修改书籍资料", "删除选定书籍", "-", "关闭分类栏"}));
        QCOMPARE(entries(form_main->popmenu_booklist()->actions(), true),
                 (QStringList{"N6", "N7", "N8", "N9", "N10", "N11", "N12"}));
    }

    void categoryBarToggles()
    {
        start();
        QVERIFY(categoryBar()->isVisible());
        QCOMPARE(categoryBar()->width(), 201);
        auto popupItem = [](QMenu *menu, const char *name) {
            return menu->findChild<QAction *>(QString::fromLatin1(name));
        };
        // The close mark hides the bar; the view menu brings it back at its width.
        QTest::mouseClick(form_main->findChild<QToolButton *>(QStringLiteral("image_xx")), Qt::LeftButton);
        QVERIFY(categoryBar()->isHidden());
        trigger("mvtreelist");
        QVERIFY(categoryBar()->isVisible());
        QCOMPARE(categoryBar()->width(), 201);
        // "关闭分类栏" in either pop-up toggles too: it shows a hidden bar.
        popupItem(form_main->popmenu_booklist(), "N12")->trigger();
        QVERIFY(categoryBar()->isHidden());
        popupItem(form_main->popmenu_booklist(), "N12")->trigger();
        QVERIFY(categoryBar()->isVisible());
        popupItem(form_main->popmenu_cate(), "N5")->trigger();
        QVERIFY(categoryBar()->isHidden());
        popupItem(form_main->popmenu_cate(), "N5")->trigger();
        QVERIFY(categoryBar()->isVisible());
        QVERIFY(shownTexts().isEmpty());
    }

    void viewStyles()
    {
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3), "
                            "('乙', 1, 1, 3)"));
        start();
        BookListView *list = form_main->listview_main;
        list->reportView()->setColumnWidth(2, 111); // the user's own width stays
        trigger("mvbigicon");
        QCOMPARE(list->currentWidget(), static_cast<QWidget *>(list->iconView()));
        QCOMPARE(list->iconView()->viewMode(), QListView::IconMode);
        QCOMPARE(list->iconView()->iconSize(), QSize(32, 32));
        trigger("mvsmallicon");
        QCOMPARE(list->iconView()->viewMode(), QListView::ListMode);
        QCOMPARE(list->iconView()->flow(), QListView::LeftToRight);
        trigger("mvlist");
        QCOMPARE(list->iconView()->flow(), QListView::TopToBottom);
        trigger("mvxiangxi");
        QCOMPARE(list->currentWidget(), static_cast<QWidget *>(list->reportView()));
        QCOMPARE(list->reportView()->columnWidth(0), 150);
        QCOMPARE(list->reportView()->columnWidth(2), 111);
        QCOMPARE(list->reportView()->columnWidth(16), 50);
    }

    void editBookNeedsASelectedRow()
    {
        start();
        trigger("meeditbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("请在列表中选择一本需要修改的书籍")});
        form_main->popmenu_booklist()->findChild<QAction *>(QStringLiteral("N9"))->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("请在列表中选择一本需要修改的书籍")});
    }

    void listShowsEveryBookByTheRule()
    {
        seed(QStringLiteral(
            "insert into book (book_name, book_cate, book_author, book_author2, book_language, book_isbn, book_pub,"
            " book_pubd, book_pages, book_buya, book_buyd, book_value, book_rating, book_loan, book_readed,"
            " book_reader, book_loand, book_note) values"
            " ('边城', '小说', '沈从文', '', '中文', '7-02', '人民文学', '2003-09-02', 210, '书店', '2004-01-15',"
            "  '18.5', 1, 1, 1, '老王', '2005-05-05', '湘西'),"
            " ('Dune', 'SF', 'Herbert', NULL, '英文', NULL, NULL, NULL, NULL, NULL, NULL, NULL, 2, 2, 2, '小李',"
            "  NULL, NULL),"
            " ('围城', '小说', '钱锺书', NULL, '中文', NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 3, 1, '老张',"
            "  NULL, NULL)"));
        start();
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(model()->rowTexts(0),
                 (QStringList{"边城", "小说", "沈从文", "", "中文", "7-02", "人民文学", "2003/9/2", "210", "书店",
                              "2004/1/15", "18.5", "非常喜欢", "自己拥有", "已读", "", "1"}));
        QCOMPARE(model()->rowTexts(1).mid(12), (QStringList{"很不错", "借入", "未读", "小李", "2"}));
        QCOMPARE(model()->rowTexts(2).mid(12), (QStringList{"很糟糕", "已借出", "已读", "老张", "3"}));

        auto background = [](int row) { return model()->index(row, 4).data(Qt::BackgroundRole); };
        QVERIFY(!background(0).isValid());
        QCOMPARE(background(1).value<QColor>(), QColor(166, 202, 240));
        QCOMPARE(background(2).value<QColor>(), QColor(192, 220, 192));

        // A row whose loan text changes takes the colour of its new text.
        bookrow::Fields changed;
        changed.name = QStringLiteral("围城");
        changed.rating = QStringLiteral("5");
        changed.loan = QStringLiteral("1");
        changed.readed = QStringLiteral("1");
        changed.id = QStringLiteral("3");
        model()->setRow(2, changed);
        QCOMPARE(model()->cell(2, bookrow::Loan), QStringLiteral("自己拥有"));
        QVERIFY(!background(2).isValid());
    }

    // Books whose codes are no known codes (none, out of range, a text), as
    // other programs leave them: every cell in its column, the number in the
    // last; the code columns sort by the texts shown; the CSV export writes
    // such a code as stored.
    void unknownCodesKeepTheirCells()
    {
        seed(QStringLiteral(
            "insert into book (book_id, book_name, book_rating, book_loan, book_readed, book_reader) values"
            " (1, '甲', 1, 1, 1, '老王'), (2, '乙', 7, NULL, 'abc', '小李'), (3, '丙', NULL, 'abc', 0, '老张'),"
            " (4, '丁', 'abc', 7, 2, '阿四'), (5, '戊', 0, 3, NULL, '大刘')"));
        start();
        QCOMPARE(column(0), (QStringList{"甲", "乙", "丙", "丁", "戊"}));
        QStringList tails;
        for (int r = 0; r < model()->rowCount(); ++r) {
            QCOMPARE(model()->rowTexts(r).size(), 17);
            tails << model()->rowTexts(r).mid(12).join(QLatin1Char('|'));
        }
        QCOMPARE(tails, (QStringList{"非常喜欢|自己拥有|已读||1", "7||abc|小李|2", "|abc|0|老张|3", "abc|7|未读|阿四|4",
                                     "0|已借出||大刘|5"}));
        // Only a known loan code colours its row.
        for (int r = 0; r < 4; ++r)
            QVERIFY(!model()->index(r, 0).data(Qt::BackgroundRole).isValid());
        QCOMPARE(model()->index(4, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));

        // First click: descending, by the bytes of the texts shown (GB18030,
        // letters folded), the empty text last; each number stays with its book.
        const struct
        {
            int column;
            QStringList titles;
        } sorts[] = {
            {12, {"甲", "丁", "乙", "戊", "丙"}},
            {13, {"甲", "戊", "丙", "丁", "乙"}},
            {14, {"甲", "丁", "乙", "丙", "戊"}},
            {15, {"乙", "丙", "戊", "丁", "甲"}},
        };
        const QHash<QString, QString> numbers{{"甲", "1"}, {"乙", "2"}, {"丙", "3"}, {"丁", "4"}, {"戊", "5"}};
        for (const auto &sort : sorts) {
            clickHeader(sort.column);
            QCOMPARE(column(0), sort.titles);
            for (int r = 0; r < model()->rowCount(); ++r)
                QCOMPARE(model()->cell(r, 16), numbers.value(model()->cell(r, 0)));
        }

        // The CSV export: a known code as its text, one out of range as its
        // number, a text as stored, no value as nothing.
        const QString csv = folder->path() + QStringLiteral("books.csv");
        filedialog::setNextFileName(csv);
        trigger("mfsavecsv");
        QVERIFY(msg::takeShown().isEmpty());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> records = file.readAll().mid(3).split('\r');
        const QList<QByteArray> header = records.value(0).split(',');
        QStringList codes;
        for (int r = 1; r <= 5; ++r) {
            const QList<QByteArray> fields = records.value(r).mid(1).split(','); // after the LF
            QStringList cells;
            for (const char *caption : {"喜爱程度", "借入借出", "是否已读"})
                cells << QString::fromUtf8(fields.value(header.indexOf(QByteArray(caption))));
            codes << cells.join(QLatin1Char('|'));
        }
        QCOMPARE(codes, (QStringList{"非常喜欢|自己拥有|已读", "7||abc", "|abc|0", "abc|7|未读", "0|已借出|"}));
    }

    void headerClicksSortAndResizeKeepsTheOrder()
    {
        seed(QStringLiteral(
            "insert into book (book_name, book_author, book_value, book_loan, book_readed, book_rating) values"
            " ('banana', '乙', '9', 1, 1, 3), ('Apple', '甲', '100', 1, 1, 3), ('cherry', '丙', '20', 1, 1, 3)"));
        start();
        clickHeader(11);
        QCOMPARE(column(11), (QStringList{"9", "20", "100"}));
        clickHeader(11);
        QCOMPARE(column(11), (QStringList{"100", "20", "9"}));

        // Each column alternates on its own: title, author, title.
        clickHeader(0);
        QCOMPARE(column(0), (QStringList{"cherry", "banana", "Apple"}));
        clickHeader(2);
        QCOMPARE(column(2), (QStringList{"乙", "甲", "丙"})); // GB2312: 乙 D2D2, 甲 BCD7, 丙 B1FB
        clickHeader(0);
        QCOMPARE(column(0), (QStringList{"Apple", "banana", "cherry"}));

        // Resizing the window, hiding the bar, keep the order.
        form_main->resize(700, 500);
        trigger("mvtreelist");
        QTest::qWait(20);
        QCOMPARE(column(0), (QStringList{"Apple", "banana", "cherry"}));
    }

    void detailsOpenOnlyWithASelectedRow()
    {
        seed(
            QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3)"));
        start();
        QTableView *view = form_main->listview_main->reportView();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return); // nothing selected: nothing opens
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->height() - 5));
        QVERIFY(!form_bookbase->isVisible());

        form_main->listview_main->selectRow(0);
        int opened = 0;
        auto closeDetails = [&opened](QDialog *dialog) {
            QCOMPARE(dialog, static_cast<QDialog *>(form_bookbase));
            ++opened;
            dialog->close();
        };
        fixture::onNextModal(closeDetails);
        QTest::keyClick(view, Qt::Key_Return);
        fixture::onNextModal(closeDetails);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(model()->index(0, 0)).center());
        fixture::onNextModal(closeDetails);
        form_main->popmenu_booklist()->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        QCOMPARE(opened, 3);
    }

    void deletingABookAsksFirst()
    {
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3), "
                            "('乙', 1, 1, 3), ('丙', 1, 1, 3)"));
        start();
        trigger("medelbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("请选择一本需要删除的书籍")});

        form_main->listview_main->selectRow(1);
        msg::setNextAnswer(false);
        trigger("medelbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
        QCOMPARE(column(0), (QStringList{"甲", "乙", "丙"}));
        QCOMPARE(fixture::value(folder->dataFile(), QStringLiteral("select count(*) from book")), QStringLiteral("3"));

        msg::setNextAnswer(true);
        form_main->popmenu_booklist()->findChild<QAction *>(QStringLiteral("N10"))->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
        QCOMPARE(column(0), (QStringList{"甲", "丙"}));
        QCOMPARE(fixture::column(folder->dataFile(), QStringLiteral("select book_name from book order by book_id")),
                 (QStringList{"甲", "丙"}));

        // A book already gone from the file only loses its row.
        seed(QStringLiteral("delete from book where book_name='丙'"));
        form_main->listview_main->selectRow(1);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
        QCOMPARE(column(0), QStringList{QStringLiteral("甲")});
    }

    // Another program put another file under the data file's name while the
    // window was open: a change is refused (nothing is written to either
    // file) and the user is asked to read the new file; no leaves the list
    // as it was, yes shows the new file's books.
    void replacedFileIsNotWrittenAndReadOnYes()
    {
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3), "
                            "('乙', 1, 1, 3), ('丙', 1, 1, 3)"));
        start();
        const QString replacement = filehelpers::makeCatalogue(folder->path() + QStringLiteral("new.qmd"), 2);
        QCOMPARE(
            ::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(folder->dataFile()).constData()), 0);
        const QByteArray replaced = filehelpers::bytes(folder->dataFile());

        for (const bool reload : {false, true}) {
            form_main->listview_main->selectRow(0);
            msg::setNextAnswer(true);   // 真的要删除这本书么？
            msg::setNextAnswer(reload); // 要现在重新读入数据文件吗？
            trigger("medelbook");
            QCoreApplication::processEvents(); // the question comes after the refusal is shown
            const QList<msg::Shown> shown = msg::takeShown();
            QCOMPARE(shown.size(), 3);
            QCOMPARE(int(shown[1].kind), int(msg::Kind::Error));
            QVERIFY2(shown[1].text.contains(QStringLiteral("已在程序之外被替换")) &&
                         shown[1].text.contains(QStringLiteral("没有写入")),
                     qPrintable(shown[1].text));
            QVERIFY2(shown[2].text.contains(QStringLiteral("要现在重新读入数据文件吗")), qPrintable(shown[2].text));
            QCOMPARE(filehelpers::bytes(folder->dataFile()), replaced);
            QCOMPARE(form_main->listview_main->model()->rowCount(), reload ? 2 : 3);
        }
        // Read anew, the file takes changes again.
        form_main->listview_main->selectRow(0);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
        QCOMPARE(fixture::value(folder->dataFile(), QStringLiteral("select count(*) from book")), QStringLiteral("1"));
    }

    void treeListsCategoriesAndTheirBooks()
    {
        seed(QStringLiteral(
            "insert into category (cate_name) values ('小说'), ('O''Reilly'), ('空的');"
            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values ('边城', '小说', 1, "
            "1, 3),"
            " ('Qt', 'O''Reilly', 1, 1, 3), ('Perl', 'O''Reilly', 1, 1, 3), ('流浪', '无此类', 1, 1, 3)"));
        start();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree()->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("全部分类"));
        QCOMPARE(tree()->currentItem(), root);
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 3);
        QCOMPARE(model()->rowCount(), 4);

        clickNode(node(QStringLiteral("O'Reilly")));
        QCOMPARE(column(0), (QStringList{"Qt", "Perl"}));
        clickNode(node(QStringLiteral("空的")));
        QCOMPARE(model()->rowCount(), 0);
        clickNode(root);
        QCOMPARE(model()->rowCount(), 4); // the book of no known category is listed here only

        // A right click does not move the selection.
        QTest::mouseClick(tree()->viewport(), Qt::RightButton, {},
                          tree()->visualItemRect(node(QStringLiteral("小说"))).center());
        QCOMPARE(tree()->currentItem(), root);
        QVERIFY(shownTexts().isEmpty());
    }

    void emptyCategoryTableGivesRootOnly()
    {
        seed(
            QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3)"));
        start();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(tree()->topLevelItem(0)->childCount(), 0);
        QCOMPARE(model()->rowCount(), 1);
    }

    void categoryCommandsFollowTheSelectedNode()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('空的'), ('空的');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values "
                            "('边城', '小说', 1, 1, 3)"));
        start();
        QTreeWidgetItem *root = tree()->topLevelItem(0);
        trigger("medelcate");
        trigger("meeditcate");
        QCOMPARE(shownTexts(), (QStringList{"不能删除总类别", "请在左边栏选择一个分类进行修改"}));

        tree()->setCurrentItem(node(QStringLiteral("小说")));
        form_main->popmenu_cate()->findChild<QAction *>(QStringLiteral("N3"))->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("该类别中存有书籍资料，不能删除！")});
        QVERIFY(node(QStringLiteral("小说")));

        // An empty category goes at once: its first row and its node only.
        tree()->setCurrentItem(root->child(1));
        trigger("medelcate");
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(root->childCount(), 2);
        QCOMPARE(fixture::column(folder->dataFile(), QStringLiteral("select cate_name from category order by cate_id")),
                 (QStringList{"小说", "空的"}));
        QCOMPARE(model()->rowCount(), 1);

        // A node below a category: the click keeps the list, the commands refuse.
        auto *deeper = new QTreeWidgetItem(node(QStringLiteral("小说")), {QStringLiteral("更深")});
        tree()->expandAll();
        clickNode(deeper);
        QCOMPARE(model()->rowCount(), 1);
        trigger("medelcate");
        trigger("meeditcate");
        QCOMPARE(shownTexts(), (QStringList{"请选择要删除的类别", "请在左边栏选择一个分类进行修改"}));
    }

    // --- Backup -------------------------------------------------------------

    void backupCopiesTheDataFile()
    {
        seedBooks(folder->dataFile(), 2);
        start();
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("mine.qmd"));

        // Cancelled: nothing is written. A file box elsewhere moves the
        // current folder; the command sets it back.
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        trigger("mfbeifen");
        QVERIFY(filesIn(elsewhere.path()).isEmpty());
        QVERIFY(inProgramFolder());

        filedialog::setNextFileName(target);
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        trigger("mfbeifen");
        QCOMPARE(bytes(target), bytes(folder->dataFile()));
        QVERIFY(inProgramFolder());
        QVERIFY(form_main->statusBar()->currentMessage().contains(QDir::toNativeSeparators(target)));

        // Again over the same file, after a change: the older backup is
        // replaced by the whole new copy.
        seedBooks(folder->dataFile(), 1);
        filedialog::setNextFileName(target);
        trigger("mfbeifen");
        QCOMPARE(bytes(target), bytes(folder->dataFile()));
        QCOMPARE(filesIn(elsewhere.path()), QStringList{QStringLiteral("mine.qmd")});

        // The box's settings, the same every time.
        const QList<filedialog::Options> asked = filedialog::takeAsked();
        QCOMPARE(asked.size(), 3);
        for (const filedialog::Options &o : asked) {
            QCOMPARE(o.defaultSuffix, QStringLiteral("qmd"));
            QCOMPARE(o.filter, QStringLiteral("Quillmere数据文件 (*.qmd)"));
            QCOMPARE(o.proposedName, QStringLiteral("qmdbackup.qmd"));
        }
        QVERIFY(msg::takeShown().isEmpty());

        // The backup is a whole catalogue, and the list still reads the
        // program folder's data.qmd after a click on the tree's root.
        QCOMPARE(catalogueFault(target, 3), QString());
        QTreeWidget *tree = form_main->treeview_main;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(0)).center());
        QCOMPARE(form_main->listview_main->model()->rowCount(), 3);
    }

    void failedBackupKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << "disk full"
                                   << "磁盘已满";
        QTest::newRow("file size limit") << "size limit"
                                         << "文件超过了系统允许的大小";
        QTest::newRow("read-only disk") << "read-only"
                                        << "磁盘是只读的";
        QTest::newRow("folder is a file") << "below a file"
                                          << "路径中有一段不是文件夹";
        QTest::newRow("data file missing") << "missing"
                                           << "";
        QTest::newRow("data file missing, no older file") << "missing, new name"
                                                          << "";
        QTest::newRow("over the data file itself") << "itself"
                                                   << "";
    }
    void failedBackupKeepsTheOlderFile()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        seedBooks(folder->dataFile(), 2, 2000);
        start();
        QTemporaryDir elsewhere;
        fixture::Tmpfs disk;
        const bool onDisk = cause == QLatin1String("disk full") || cause == QLatin1String("read-only");
        if (onDisk && !disk.isMounted())
            QSKIP("A tmpfs cannot be mounted here.");
        const QString dir = onDisk ? disk.path() : elsewhere.path() + QLatin1Char('/');
        QString target = dir + QStringLiteral("qmdbackup.qmd");
        if (cause != QLatin1String("missing, new name"))
            writeFile(target, "an older backup");
        if (cause == QLatin1String("itself"))
            target = folder->dataFile();
        // The file that must stay as it was, and the folder that must get no
        // new file.
        const QString kept = target;
        const QString watched = QFileInfo(target).path();
        if (cause == QLatin1String("below a file"))
            target += QStringLiteral("/qmdbackup.qmd");
        const QByteArray older = bytes(kept);
        const QStringList before = filesIn(watched);

        if (cause == QLatin1String("disk full"))
            disk.fill();
        if (cause == QLatin1String("read-only"))
            QVERIFY(disk.makeReadOnly());
        if (cause.startsWith(QLatin1String("missing")))
            QVERIFY(QFile::remove(folder->dataFile()));
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        if (cause == QLatin1String("size limit")) {
            // Writes stop after 4 KB.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, limit.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const QStringList filled = filesIn(watched);
        filedialog::setNextFileName(target);
        trigger("mfbeifen");
        setrlimit(RLIMIT_FSIZE, &limit);

        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Error));
        QVERIFY2(shown[0].text.contains(QStringLiteral("“%1”").arg(QFileInfo(target).fileName())),
                 qPrintable(shown[0].text));
        QVERIFY2(shown[0].text.contains(QDir::toNativeSeparators(QFileInfo(target).absolutePath())),
                 qPrintable(shown[0].text));
        QVERIFY2(shown[0].text.contains(reason), qPrintable(shown[0].text));
        QVERIFY2(!shown[0].text.contains(QStringLiteral("未知错误")), qPrintable(shown[0].text));
        if (cause.startsWith(QLatin1String("missing")))
            QVERIFY2(shown[0].text.contains(QStringLiteral("“data.qmd”")), qPrintable(shown[0].text));
        QCOMPARE(bytes(kept), older);
        QCOMPARE(filesIn(watched), filled);
        if (!onDisk)
            QCOMPARE(filled, before);
        QVERIFY(inProgramFolder());
        QVERIFY(form_main->statusBar()->currentMessage().isEmpty());
    }

    void backupWhileAnotherProgramWrites()
    {
        // A rename of a large category by another program, too big for its
        // cache: part of it is already in data.qmd when the backup starts.
        seedBooks(folder->dataFile(), 2000, 300);
        start();
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("qmdbackup.qmd"));
        writeFile(target, "an older backup");
        auto other = fixture::OtherProgram::withSql(folder->dataFile());
        QCOMPARE(other->run(QStringLiteral("PRAGMA cache_size=2")), QStringLiteral("ok"));
        QCOMPARE(other->run(QStringLiteral("BEGIN IMMEDIATE")), QStringLiteral("ok"));
        QCOMPARE(other->run(QStringLiteral("UPDATE book SET book_cate='改过的分类'")), QStringLiteral("ok"));

        // No whole copy can be had while the change is half-written: said,
        // and the older backup stays.
        filedialog::setNextFileName(target);
        trigger("mfbeifen");
        QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(QStringLiteral("正被其他程序写入")), qPrintable(shown[0].text));
        QCOMPARE(bytes(target), QByteArray("an older backup"));
        QVERIFY(form_main->statusBar()->currentMessage().isEmpty());

        // Once it is committed, the backup holds the whole rename.
        QCOMPARE(other->run(QStringLiteral("COMMIT")), QStringLiteral("ok"));
        filedialog::setNextFileName(target);
        trigger("mfbeifen");
        QVERIFY(msg::takeShown().isEmpty());
        QCOMPARE(catalogueFault(target, 2000), QString());
        QCOMPARE(fixture::column(target, QStringLiteral("select distinct book_cate from book")),
                 QStringList{QStringLiteral("改过的分类")});
        QCOMPARE(bytes(target), bytes(folder->dataFile()));
    }

    void backupsWhileAnotherProgramRenamesAgainAndAgain()
    {
        seedBooks(folder->dataFile(), 1000, 300);
        start();
        QTemporaryDir elsewhere;
        auto other = fixture::OtherProgram::repeating(
            folder->dataFile(), 1000000, 50,
            QStringLiteral("PRAGMA cache_size=2; BEGIN IMMEDIATE; UPDATE book SET book_cate='第%n次'; COMMIT;"));
        // Each backup is taken between two renames: whole, and every book in
        // the same category; or, should the other program never pause long
        // enough, refused with a message.
        int taken = 0;
        for (int i = 0; i < 6; ++i) {
            QVERIFY(other->isRunning());
            const QString target = elsewhere.filePath(QStringLiteral("b%1.qmd").arg(i));
            filedialog::setNextFileName(target);
            trigger("mfbeifen");
            const QList<msg::Shown> shown = msg::takeShown();
            if (!shown.isEmpty()) {
                QVERIFY2(shown[0].text.contains(QStringLiteral("正被其他程序写入")), qPrintable(shown[0].text));
                QVERIFY(!QFileInfo::exists(target));
                continue;
            }
            QCOMPARE(catalogueFault(target, 1000), QString());
            QCOMPARE(fixture::column(target, QStringLiteral("select distinct book_cate from book")).size(), 1);
            ++taken;
        }
        other->kill();
        QVERIFY(taken > 0);
    }

    // --- Help and home page -------------------------------------------------

    void helpOpensTheProgramFoldersDocument()
    {
        writeFile(folder->path() + QStringLiteral("qmp.html"), "<html></html>");
        start();
        desktop::setScripted(true);
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        trigger("mhhelp");
        const QList<desktop::Request> requests = desktop::takeRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(int(requests[0].kind), int(desktop::Request::Kind::Open));
        QCOMPARE(requests[0].target, QUrl::fromLocalFile(folder->path() + QStringLiteral("qmp.html")).toString());
        QVERIFY(inProgramFolder());
        QVERIFY(msg::takeShown().isEmpty());

        // Until the project has a web site, the home page is the help
        // document's page about the program.
        trigger("mhhomepage");
        const QList<desktop::Request> home = desktop::takeRequests();
        QCOMPARE(home.size(), 1);
        QCOMPARE(int(home[0].kind), int(desktop::Request::Kind::Open));
        QCOMPARE(home[0].target, QUrl::fromLocalFile(folder->path() + QStringLiteral("qmp.html")).toString() +
                                     QStringLiteral("#about"));
        QVERIFY(msg::takeShown().isEmpty());
    }

    void helpAndHomePageFailures_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("document");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("named");
        QTest::newRow("help document missing") << "mhhelp" << false << true << "“qmp.html”";
        QTest::newRow("nothing opens the help document") << "mhhelp" << true << false << "“qmp.html”";
        QTest::newRow("home page without the help document") << "mhhomepage" << false << true << "“qmp.html”";
        QTest::newRow("nothing opens the home page") << "mhhomepage" << true << false << "“qmp.html”";
    }
    void helpAndHomePageFailures()
    {
        QFETCH(QString, command);
        QFETCH(bool, document);
        QFETCH(bool, opened);
        QFETCH(QString, named);
        if (document)
            writeFile(folder->path() + QStringLiteral("qmp.html"), "<html></html>");
        start();
        desktop::setScripted(true);
        desktop::setNextResult(opened);
        form_main->action(command.toLatin1().constData())->trigger();
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Error));
        QVERIFY2(shown[0].text.contains(named), qPrintable(shown[0].text));
        QCOMPARE(desktop::takeRequests().size(), document ? 1 : 0);
        QVERIFY(form_main->isVisible());
    }

    void helpDocumentCoversEveryCommandAndWindow()
    {
        const QString path = QFINDTESTDATA("../../resources/qmp.html");
        QVERIFY(!path.isEmpty());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString html = utf8.decode(bytes(path));
        QVERIFY(!utf8.hasError());
        QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        // Self-contained: nothing is fetched from elsewhere.
        static const QRegularExpression fetches(QStringLiteral("src\\s*=|<link|@import|url\\("),
                                                QRegularExpression::CaseInsensitiveOption);
        QVERIFY(!html.contains(fetches));
        static const QRegularExpression links(QStringLiteral("href=\"([^\"]*)\""));
        for (auto it = links.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(target.startsWith(QLatin1Char('#')), qPrintable(target));
            QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(target.mid(1))), qPrintable(target));
        }
        // The page that the home-page command opens.
        QVERIFY(html.contains(QStringLiteral("id=\"about\"")));

        start();
        QStringList missing;
        static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)(?=…?$)"));
        for (QAction *action : form_main->findChildren<QAction *>()) {
            if (action->objectName().isEmpty() || action->isSeparator() || action->text().isEmpty())
                continue;
            const QString caption = action->text().remove(accessKey).remove(QLatin1Char('&'));
            if (!html.contains(caption))
                missing << action->objectName() + QLatin1Char('=') + caption;
        }
        // The restore program's window is checked with the restore program.
        QList<QWidget *> shown = QApplication::topLevelWidgets();
        for (QWidget *w : shown)
            if (w->objectName().startsWith(QStringLiteral("form_")) &&
                w->objectName() != QLatin1String("form_welcome") && !html.contains(w->windowTitle()))
                missing << w->objectName() + QLatin1Char('=') + w->windowTitle();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    void treeAndListArePaintedInTheLightColour()
    {
        seed(
            QStringLiteral("insert into category (cate_name) values ('小说');"
                           "insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3)"));
        start();
        const QColor light = QApplication::palette().color(QPalette::Midlight);
        QVERIFY(light != QApplication::palette().color(QPalette::Base));
        // What each view paints in a corner of its viewport that no row covers.
        const auto emptyArea = [](QAbstractScrollArea *view) {
            QWidget *viewport = view->viewport();
            QImage image(view->size(), QImage::Format_RGB32);
            image.fill(Qt::black);
            view->render(&image);
            const QPoint corner(viewport->width() - 3, viewport->height() - 3);
            return image.pixelColor(viewport->mapTo(view, corner)).name();
        };
        QCOMPARE(emptyArea(tree()), light.name());
        QCOMPARE(emptyArea(form_main->listview_main->reportView()), light.name());
    }
};

std::unique_ptr<QObject> makeKeysTest();

// The main window's two test classes, one after the other.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    int failed = 0;
    {
        MainTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    failed += QTest::qExec(makeKeysTest().get(), argc, argv);
    return failed;
}

#include "tst_main.moc"
