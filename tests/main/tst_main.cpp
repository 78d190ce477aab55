// The main window: its commands, the category bar, the book list and the
// category tree, driven through the real widgets.
#include "books/form_bookbase.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/datetext.h"
#include "support/fixture.h"

#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

class MainTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<fixture::ProgramFolder> folder;
    std::unique_ptr<fixture::Windows> windows;

    void seed(const QString &sql) { fixture::exec(folder->dataFile(), sql); }
    // Makes the windows on the seeded file and shows the main window.
    void start()
    {
        windows = std::make_unique<fixture::Windows>();
        fixture::showMainWindow();
    }

    static BookListModel *model() { return form_main->listview_main->model(); }
    static QStringList column(int c)
    {
        QStringList texts;
        for (int r = 0; r < model()->rowCount(); ++r)
            texts << model()->cell(r, c).toString();
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
        QHeaderView *header = form_main->listview_main->reportView()->header();
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
    void init()
    {
        folder = std::make_unique<fixture::ProgramFolder>();
        datetext::setLocale(QLocale(QLocale::Chinese, QLocale::China));
    }
    void cleanup()
    {
        windows.reset();
        folder.reset();
        datetext::resetLocale();
    }

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
                            "mfdaoru mfbeifen - mfsaveto - mfexit",
                            "meaddbook meeditbook medelbook - meaddcate meeditcate medelcate - mereader meauthor mepub",
                            "msnumber msmoney - msjie",
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
                           "统计工具栏:msnumber msmoney msjie",
                           "附加数据库工具栏:mereader meauthor mepub",
                           "查看工具栏:mvbigicon mvsmallicon mvlist mvxiangxi",
                           "其它工具栏:mfdaoru mfbeifen mfsaveto - mtfind - mhhomepage mhhelp",
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
        QVERIFY(action->shortcut().isEmpty());
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
        form_main->action("mvtreelist")->trigger();
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
        form_main->action("mvbigicon")->trigger();
        QCOMPARE(list->currentWidget(), static_cast<QWidget *>(list->iconView()));
        QCOMPARE(list->iconView()->viewMode(), QListView::IconMode);
        QCOMPARE(list->iconView()->iconSize(), QSize(32, 32));
        form_main->action("mvsmallicon")->trigger();
        QCOMPARE(list->iconView()->viewMode(), QListView::ListMode);
        QCOMPARE(list->iconView()->flow(), QListView::LeftToRight);
        form_main->action("mvlist")->trigger();
        QCOMPARE(list->iconView()->flow(), QListView::TopToBottom);
        form_main->action("mvxiangxi")->trigger();
        QCOMPARE(list->currentWidget(), static_cast<QWidget *>(list->reportView()));
        QCOMPARE(list->reportView()->columnWidth(0), 150);
        QCOMPARE(list->reportView()->columnWidth(2), 111);
        QCOMPARE(list->reportView()->columnWidth(16), 50);
    }

    void editBookNeedsASelectedRow()
    {
        start();
        form_main->action("meeditbook")->trigger();
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
        QStringList changed = model()->rowTexts(2);
        changed[13] = QStringLiteral("自己拥有");
        model()->setRow(2, changed);
        QVERIFY(!background(2).isValid());
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
        form_main->action("mvtreelist")->trigger();
        QTest::qWait(20);
        QCOMPARE(column(0), (QStringList{"Apple", "banana", "cherry"}));
    }

    void detailsOpenOnlyWithASelectedRow()
    {
        seed(
            QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('甲', 1, 1, 3)"));
        start();
        QTreeView *view = form_main->listview_main->reportView();
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
        form_main->action("medelbook")->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("请选择一本需要删除的书籍")});

        form_main->listview_main->selectRow(1);
        msg::setNextAnswer(false);
        form_main->action("medelbook")->trigger();
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
        form_main->action("medelbook")->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
        QCOMPARE(column(0), QStringList{QStringLiteral("甲")});
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
        form_main->action("medelcate")->trigger();
        form_main->action("meeditcate")->trigger();
        QCOMPARE(shownTexts(), (QStringList{"不能删除总类别", "请在左边栏选择一个分类进行修改"}));

        tree()->setCurrentItem(node(QStringLiteral("小说")));
        form_main->popmenu_cate()->findChild<QAction *>(QStringLiteral("N3"))->trigger();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("该类别中存有书籍资料，不能删除！")});
        QVERIFY(node(QStringLiteral("小说")));

        // An empty category goes at once: its first row and its node only.
        tree()->setCurrentItem(root->child(1));
        form_main->action("medelcate")->trigger();
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
        form_main->action("medelcate")->trigger();
        form_main->action("meeditcate")->trigger();
        QCOMPARE(shownTexts(), (QStringList{"请选择要删除的类别", "请在左边栏选择一个分类进行修改"}));
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

QTEST_MAIN(MainTest)
#include "tst_main.moc"
