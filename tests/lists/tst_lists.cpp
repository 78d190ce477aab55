// The category dialogs and the three reference lists, driven through the
// main window's commands and the dialogs' own controls.
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "lists/form_pub.h"
#include "main/form_main.h"
#include "support/guitest.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QtTest>

using fixture::child;
using fixture::type;

class ListsTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    static QTreeWidget *tree() { return form_main->treeview_main; }
    static QTreeWidgetItem *root() { return tree()->topLevelItem(0); }
    static QStringList childTexts(QTreeWidgetItem *item)
    {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    }
    static QTreeWidgetItem *node(const QString &text)
    {
        const QList<QTreeWidgetItem *> found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static void clickNode(QTreeWidgetItem *item)
    {
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
    }
    static QStringList listedTitles()
    {
        BookListModel *model = form_main->listview_main->model();
        QStringList titles;
        for (int r = 0; r < model->rowCount(); ++r)
            titles << model->cell(r, 0);
        return titles;
    }
    static QStringList rows(QTreeWidget *list, int column)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    static void clickHeader(QTreeWidget *list, int column)
    {
        QHeaderView *header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    static QList<msg::Shown> shown() { return msg::takeShown(); }

    // Opens the rename dialog on the selected node, puts the old name into its
    // field when one is given, types the new name and clicks "修改".
    static void rename(const QString &typedOldName, const QString &newName)
    {
        fixture::runDialog(form_main->action("meeditcate"), [&](QDialog *dialog) {
            auto *oldEdit = child<QLineEdit>(dialog, "edit_modcate1");
            auto *newEdit = child<QLineEdit>(dialog, "edit_modcate2");
            auto *button = child<QPushButton>(dialog, "button_mod");
            QCOMPARE(oldEdit->text(), tree()->currentItem()->text(0));
            QVERIFY(newEdit->text().isEmpty());
            QVERIFY(!button->isEnabled());
            if (!typedOldName.isNull())
                oldEdit->setText(typedOldName);
            type(newEdit, newName);
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        });
    }

private Q_SLOTS:
    void addCategory()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说')"));
        start();
        // A category node is selected: the new node still goes under the root.
        tree()->setCurrentItem(node(QStringLiteral("小说")));
        for (const QString &name : {QStringLiteral("O'Reilly 丛书"), QStringLiteral("小说")}) {
            fixture::runDialog(form_main->action("meaddcate"), [&](QDialog *dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("添加新类别"));
                QCOMPARE(dialog->size(), QSize(185, 96));
                auto *edit = child<QLineEdit>(dialog, "edit_new");
                auto *add = child<QPushButton>(dialog, "button1");
                QVERIFY(edit->text().isEmpty());
                QVERIFY(!add->isEnabled());
                QCOMPARE(QApplication::focusWidget(), edit);
                type(edit, QStringLiteral("x"));
                QVERIFY(add->isEnabled());
                QTest::keyClick(edit, Qt::Key_Backspace);
                QVERIFY(!add->isEnabled());
                type(edit, name);
                QTest::mouseClick(add, Qt::LeftButton);
                QVERIFY(!dialog->isVisible());
            });
        }
        QCOMPARE(childTexts(root()), (QStringList{"小说", "O'Reilly 丛书", "小说"}));
        QCOMPARE(query(QStringLiteral("select cate_name from category order by cate_id")),
                 (QStringList{"小说", "O'Reilly 丛书", "小说"}));

        // "取消" adds nothing, whatever was typed.
        fixture::runDialog(form_main->popmenu_cate()->findChild<QAction *>(QStringLiteral("N1")), [](QDialog *dialog) {
            type(child<QLineEdit>(dialog, "edit_new"), QStringLiteral("不要"));
            QTest::mouseClick(child<QPushButton>(dialog, "button2"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(root()->childCount(), 3);
        QCOMPARE(query(QStringLiteral("select count(*) from category")), QStringList{QStringLiteral("3")});

        // The added node works with the tree's commands.
        tree()->setCurrentItem(root()->child(1));
        trigger("medelcate");
        QCOMPARE(childTexts(root()), (QStringList{"小说", "小说"}));
        QVERIFY(shown().isEmpty());
    }

    void renameCategory_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("typedOldName"); // null: as the dialog fills it
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QStringList>("bookCategories");
        QTest::addColumn<QStringList>("nodes");

        // Seeded: categories 小说, O'Reilly, 空的; books 边城 and 围城 in 小说,
        // Qt in O'Reilly, 流浪 in 无此类.
        QTest::newRow("books move") << "小说" << QString() << "文学" << QStringList{"文学", "O'Reilly", "空的"}
                                    << QStringList{"文学", "文学", "O'Reilly", "无此类"}
                                    << QStringList{"文学", "O'Reilly", "空的"};
        QTest::newRow("single quotes") << "O'Reilly" << QString() << "It's" << QStringList{"小说", "It's", "空的"}
                                       << QStringList{"小说", "小说", "It's", "无此类"}
                                       << QStringList{"小说", "It's", "空的"};
        QTest::newRow("no books") << "空的" << QString() << "新的" << QStringList{"小说", "O'Reilly", "新的"}
                                  << QStringList{"小说", "小说", "O'Reilly", "无此类"}
                                  << QStringList{"小说", "O'Reilly", "新的"};
        QTest::newRow("onto another name")
            << "空的" << QString() << "小说" << QStringList{"小说", "O'Reilly", "小说"}
            << QStringList{"小说", "小说", "O'Reilly", "无此类"} << QStringList{"小说", "O'Reilly", "小说"};
        // The old name changed by hand to one no category bears: the new name
        // is added, the books of the typed name move, and the tree shows the
        // categories as stored: a node for the new one, the selected one kept.
        QTest::newRow("old name typed") << "空的"
                                        << "无此类"
                                        << "游记" << QStringList{"小说", "O'Reilly", "空的", "游记"}
                                        << QStringList{"小说", "小说", "O'Reilly", "游记"}
                                        << QStringList{"小说", "O'Reilly", "空的", "游记"};
    }
    void renameCategory()
    {
        QFETCH(QString, selected);
        QFETCH(QString, typedOldName);
        QFETCH(QString, newName);
        QFETCH(QStringList, categories);
        QFETCH(QStringList, bookCategories);
        QFETCH(QStringList, nodes);
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('O''Reilly'), ('空的');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values"
                            " ('边城', '小说', 1, 1, 3), ('围城', '小说', 1, 1, 3), ('Qt', 'O''Reilly', 1, 1, 3),"
                            " ('流浪', '无此类', 1, 1, 3)"));
        start();
        clickNode(node(selected));
        const QStringList shownBefore = listedTitles();
        rename(typedOldName, newName);
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(query(QStringLiteral("select cate_name from category order by cate_id")), categories);
        QCOMPARE(query(QStringLiteral("select book_cate from book order by book_id")), bookCategories);
        QCOMPARE(childTexts(root()), nodes);
        // The selected node was renamed, unless the category renamed was
        // another one.
        QCOMPARE(tree()->currentItem()->text(0), typedOldName.isNull() ? newName : selected);
        QCOMPARE(listedTitles(), shownBefore); // not refilled
        QVERIFY(shown().isEmpty());

        // The next click on the node lists the books now filed under the name.
        clickNode(node(newName));
        QStringList expected;
        const QStringList titles{"边城", "围城", "Qt", "流浪"};
        for (int i = 0; i < titles.size(); ++i)
            if (bookCategories[i] == newName)
                expected << titles[i];
        QCOMPARE(listedTitles(), expected);
    }

    // A zero character inside a name: the tree's commands act on exactly
    // that category, not on the one named by the text before the zero.
    void categoryWithZeroCharacter()
    {
        const QString zero = QStringLiteral("小说") + QChar(0) + QStringLiteral("续");
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('小说'||char(0)||'续'), (char(0));"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values"
                            " ('边城', '小说', 1, 1, 3), ('续集', '小说'||char(0)||'续', 1, 1, 3),"
                            " ('外传', '小说'||char(0)||'续', 1, 1, 3), ('空名', '', 1, 1, 3)"));
        // The file's texts whole, zeros included, with each zero shown as <0>.
        const auto stored = [&](const QString &column, const QString &table, const QString &key) {
            QStringList texts;
            for (const QString &hex :
                 query(QStringLiteral("select hex(%1) from %2 order by %3").arg(column, table, key)))
                texts
                    << QString::fromUtf8(QByteArray::fromHex(hex.toLatin1())).replace(QChar(0), QStringLiteral("<0>"));
            return texts;
        };
        start();
        QCOMPARE(childTexts(root()), (QStringList{QStringLiteral("小说"), zero, QString(QChar(0))}));

        clickNode(node(zero));
        QCOMPARE(listedTitles(), (QStringList{"续集", "外传"}));
        clickNode(node(QStringLiteral("小说")));
        QCOMPARE(listedTitles(), QStringList{QStringLiteral("边城")});
        QVERIFY(shown().isEmpty());

        // Renamed: that category and its books, nothing added.
        clickNode(node(zero));
        rename(QString(), QStringLiteral("续篇"));
        QCOMPARE(stored("cate_name", "category", "cate_id"), (QStringList{"小说", "续篇", "<0>"}));
        QCOMPARE(stored("book_cate", "book", "book_id"), (QStringList{"小说", "续篇", "续篇", ""}));
        QCOMPARE(childTexts(root()), (QStringList{QStringLiteral("小说"), QStringLiteral("续篇"), QString(QChar(0))}));
        QVERIFY(shown().isEmpty());

        // A category of a zero alone, without books, is deleted; the one of
        // the empty text before the zero holds a book and stays.
        tree()->setCurrentItem(node(QString(QChar(0))));
        trigger("medelcate");
        QVERIFY(shown().isEmpty());
        QCOMPARE(stored("cate_name", "category", "cate_id"), (QStringList{"小说", "续篇"}));
        QCOMPARE(childTexts(root()), (QStringList{"小说", "续篇"}));
    }

    // The tree follows the stored categories on every change: one node
    // added, renamed in place or removed, the selected node kept; changes
    // another program made meanwhile show at the same time.
    void treeFollowsTheCatalogue()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('诗歌'), ('散文'), ('游记')"));
        start();
        QTreeWidgetItem *selected = node(QStringLiteral("诗歌"));
        QTreeWidgetItem *renamed = node(QStringLiteral("散文"));
        tree()->setCurrentItem(selected);

        seed(QStringLiteral("delete from category where cate_name = '游记';"
                            "insert into category (cate_name) values ('传记')"));
        fixture::runDialog(form_main->action("meaddcate"), [](QDialog *dialog) {
            type(child<QLineEdit>(dialog, "edit_new"), QStringLiteral("童话"));
            QTest::mouseClick(child<QPushButton>(dialog, "button1"), Qt::LeftButton);
        });
        QCOMPARE(childTexts(root()), (QStringList{"小说", "诗歌", "散文", "传记", "童话"}));
        QCOMPARE(tree()->currentItem(), selected);
        QCOMPARE(node(QStringLiteral("散文")), renamed);

        tree()->setCurrentItem(renamed);
        rename(QString(), QStringLiteral("杂文"));
        QCOMPARE(childTexts(root()), (QStringList{"小说", "诗歌", "杂文", "传记", "童话"}));
        QCOMPARE(tree()->currentItem(), renamed);
        QCOMPARE(renamed->text(0), QStringLiteral("杂文"));

        // A category another program removed: its node goes, nothing said.
        seed(QStringLiteral("delete from category where cate_name = '传记'"));
        tree()->setCurrentItem(node(QStringLiteral("传记")));
        trigger("medelcate");
        QVERIFY(shown().isEmpty());
        QCOMPARE(childTexts(root()), (QStringList{"小说", "诗歌", "杂文", "童话"}));
        QCOMPARE(query(QStringLiteral("select cate_name from category order by cate_id")),
                 (QStringList{"小说", "诗歌", "杂文", "童话"}));
    }

    void longNamesAreRefusedNotCut()
    {
        // A name longer than a one-line box used to hold: shown whole, so
        // that renaming it finds exactly it.
        const QString longName = QStringLiteral("长").repeated(40000);
        seed(QStringLiteral("insert into category (cate_name) values ('%1');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating)"
                            " values ('边城', '%1', 1, 1, 3)")
                 .arg(longName));
        start();
        clickNode(node(longName));
        rename(QString(), QStringLiteral("短名"));
        QCOMPARE(query(QStringLiteral("select cate_name from category")), QStringList{QStringLiteral("短名")});
        QCOMPARE(query(QStringLiteral("select book_cate from book")), QStringList{QStringLiteral("短名")});
        QVERIFY(shown().isEmpty());

        // A name too long to keep is refused, whole in its box, nothing stored.
        const QString tooLong = QStringLiteral("类").repeated(33000);
        fixture::runDialog(form_main->action("meaddcate"), [&](QDialog *dialog) {
            auto *edit = child<QLineEdit>(dialog, "edit_new");
            edit->insert(tooLong);
            QTest::mouseClick(child<QPushButton>(dialog, "button1"), Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(edit->text().size(), 33000);
        });
        fixture::runDialog(form_main->action("meauthor"), [&](QDialog *dialog) {
            child<QLineEdit>(dialog, "edit")->insert(tooLong);
            QTest::mouseClick(child<QPushButton>(dialog, "button1"), Qt::LeftButton);
        });
        const QList<msg::Shown> refused = shown();
        QCOMPARE(refused.size(), 2);
        QVERIFY2(refused[0].text.contains(QStringLiteral("“分类名称”太长")), qPrintable(refused[0].text));
        QVERIFY2(refused[1].text.contains(QStringLiteral("“作者”太长")), qPrintable(refused[1].text));
        QCOMPARE(query(QStringLiteral("select count(*) from category")), QStringList{QStringLiteral("1")});
        QCOMPARE(query(QStringLiteral("select count(*) from author")), QStringList{QStringLiteral("0")});
    }

    void renameFailingPartWayChangesNothing()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('诗歌');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values"
                            " ('边城', '小说', 1, 1, 3), ('围城', '小说', 1, 1, 3), ('呐喊', '小说', 1, 1, 3);"
                            // The second book's move fails, after the category row and the
                            // first book have been written.
                            "create trigger full_disk before update of book_cate on book"
                            " when (select count(*) from book where book_cate = '文学') >= 1"
                            " begin select raise(abort, '磁盘已满'); end;"));
        start();
        clickNode(node(QStringLiteral("小说")));
        fixture::runDialog(form_main->action("meeditcate"), [&](QDialog *dialog) {
            type(child<QLineEdit>(dialog, "edit_modcate2"), QStringLiteral("文学"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_mod"), Qt::LeftButton);
            const QList<msg::Shown> errors = shown();
            QCOMPARE(errors.size(), 1);
            QCOMPARE(errors.first().kind, msg::Kind::Error);
            QVERIFY2(errors.first().text.contains(QStringLiteral("磁盘已满")), qPrintable(errors.first().text));
            QVERIFY(dialog->isVisible()); // the dialog stays open

            QCOMPARE(query(QStringLiteral("select cate_name from category order by cate_id")),
                     (QStringList{"小说", "诗歌"}));
            QCOMPARE(query(QStringLiteral("select book_cate from book order by book_id")),
                     (QStringList{"小说", "小说", "小说"}));
            QCOMPARE(childTexts(root()), (QStringList{"小说", "诗歌"}));

            // Nothing is left locked: with the cause gone the same click succeeds.
            fixture::exec(folder->dataFile(), QStringLiteral("drop trigger full_disk"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_mod"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(query(QStringLiteral("select book_cate from book order by book_id")),
                 (QStringList{"文学", "文学", "文学"}));
        QCOMPARE(childTexts(root()), (QStringList{"文学", "诗歌"}));
        QVERIFY(shown().isEmpty());
    }

    void renameCancelChangesNothing()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说');"
                            "insert into book (book_name, book_cate) values ('边城', '小说')"));
        start();
        tree()->setCurrentItem(node(QStringLiteral("小说")));
        fixture::runDialog(form_main->popmenu_cate()->findChild<QAction *>(QStringLiteral("N2")), [](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("修改类别"));
            QCOMPARE(dialog->size(), QSize(320, 124));
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(dialog, "edit_modcate2"));
            type(child<QLineEdit>(dialog, "edit_modcate2"), QStringLiteral("文学"));
            QTest::mouseClick(child<QPushButton>(dialog, "button_close"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(query(QStringLiteral("select cate_name from category")), QStringList{QStringLiteral("小说")});
        QCOMPARE(query(QStringLiteral("select book_cate from book")), QStringList{QStringLiteral("小说")});
        QCOMPARE(childTexts(root()), QStringList{QStringLiteral("小说")});
        // The next opening starts with an empty new name and "修改" disabled.
        rename(QString(), QStringLiteral("文学"));
        QCOMPARE(childTexts(root()), QStringList{QStringLiteral("文学")});
    }

    void referenceLists_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("noSelection");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("bookColumn");
        QTest::newRow("publishers") << "mepub"
                                    << "pub"
                                    << "出版社"
                                    << "出版社"
                                    << "请选择一个需要删除的出版社..."
                                    << "确定删除这个出版社么?"
                                    << "book_pub";
        QTest::newRow("authors") << "meauthor"
                                 << "author"
                                 << "作者库"
                                 << "作者"
                                 << "请选择一个需要删除的作者......"
                                 << "确定删除这个作者么?"
                                 << "book_author";
        QTest::newRow("readers") << "mereader"
                                 << "reader"
                                 << "书友"
                                 << "书友"
                                 << "请选择一个需要删除的书友......"
                                 << "确定删除这个书友么?"
                                 << "book_reader";
    }
    void referenceLists()
    {
        QFETCH(QString, command);
        QFETCH(QString, table);
        QFETCH(QString, caption);
        QFETCH(QString, header);
        QFETCH(QString, noSelection);
        QFETCH(QString, question);
        QFETCH(QString, bookColumn);
        const QString name = table + QStringLiteral("_name");
        const QString id = table + QStringLiteral("_id");
        seed(QStringLiteral("insert into %1 (%2, %3) values (9, '乙'), (10, 'b'), (2, 'A');"
                            "insert into book (book_name, %4) values ('边城', '乙')")
                 .arg(table, id, name, bookColumn));
        start();
        QAction *open = form_main->action(command.toLatin1().constData());

        fixture::runDialog(open, [&](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), caption);
            QCOMPARE(dialog->size(), QSize(268, 318));
            auto *list = child<QTreeWidget>(dialog, "listview");
            auto *edit = child<QLineEdit>(dialog, "edit");
            auto *add = child<QPushButton>(dialog, "button1");
            QCOMPARE(list->headerItem()->text(0), header);
            QCOMPARE(list->headerItem()->text(1), QStringLiteral("编号"));
            QCOMPARE(list->columnWidth(0), 130);
            // Filled at start in the store's order.
            QCOMPARE(rows(list, 0), (QStringList{"A", "乙", "b"}));
            QCOMPARE(rows(list, 1), (QStringList{"2", "9", "10"}));
            QVERIFY(!add->isEnabled());
            QCOMPARE(QApplication::focusWidget(), edit);

            // Numbers sort as text: descending first, then ascending, "10" before "9".
            clickHeader(list, 1);
            QCOMPARE(rows(list, 1), (QStringList{"9", "2", "10"}));
            clickHeader(list, 1);
            QCOMPARE(rows(list, 1), (QStringList{"10", "2", "9"}));
            // The other column starts from its own flag; letters fold to upper case.
            clickHeader(list, 0);
            QCOMPARE(rows(list, 0), (QStringList{"乙", "b", "A"}));

            // An added name goes at the end with the store's number, sorted or not.
            type(edit, QStringLiteral("a'甲"));
            QVERIFY(add->isEnabled());
            QTest::mouseClick(add, Qt::LeftButton);
            QCOMPARE(rows(list, 0), (QStringList{"乙", "b", "A", "a'甲"}));
            QCOMPARE(rows(list, 1).last(), QStringLiteral("11"));
            QVERIFY(edit->text().isEmpty());
            QVERIFY(!add->isEnabled());
            QVERIFY(dialog->isVisible());

            // Deleting needs a selected row, then asks.
            list->clearSelection();
            QTest::mouseClick(child<QPushButton>(dialog, "button3"), Qt::LeftButton);
            QList<msg::Shown> messages = shown();
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.first().kind, msg::Kind::Plain);
            QCOMPARE(messages.first().caption, QStringLiteral("Quillmere个人版 2.0"));
            QCOMPARE(messages.first().text, noSelection);

            list->setCurrentItem(list->topLevelItem(0)); // 乙, number 9
            msg::setNextAnswer(false);
            QTest::mouseClick(child<QPushButton>(dialog, "button3"), Qt::LeftButton);
            messages = shown();
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.first().kind, msg::Kind::Question);
            QCOMPARE(messages.first().text, question);
            QCOMPARE(list->topLevelItemCount(), 4);

            msg::setNextAnswer(true);
            QTest::mouseClick(child<QPushButton>(dialog, "button3"), Qt::LeftButton);
            QCOMPARE(shown().size(), 1);
            QCOMPARE(rows(list, 0), (QStringList{"b", "A", "a'甲"}));

            // A typed name not added is dropped when the dialog closes.
            type(edit, QStringLiteral("丢弃"));
            QTest::mouseClick(child<QPushButton>(dialog, "button2"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(query(QStringLiteral("select %1 || ':' || %2 from %3 order by %2").arg(name, id, table)),
                 (QStringList{"A:2", "b:10", "a'甲:11"}));
        QCOMPARE(query(QStringLiteral("select %1 from book").arg(bookColumn)), QStringList{QStringLiteral("乙")});

        // Reopened: the edit is empty, the list as it was, the flags kept.
        fixture::runDialog(open, [&](QDialog *dialog) {
            auto *list = child<QTreeWidget>(dialog, "listview");
            QVERIFY(child<QLineEdit>(dialog, "edit")->text().isEmpty());
            QVERIFY(!child<QPushButton>(dialog, "button1")->isEnabled());
            QCOMPARE(rows(list, 0), (QStringList{"b", "A", "a'甲"}));
            clickHeader(list, 0); // the second click on the name column: ascending
            QCOMPARE(rows(list, 0), (QStringList{"A", "a'甲", "b"}));
            // Deleting the last rows leaves an empty list.
            while (list->topLevelItemCount() > 0) {
                list->setCurrentItem(list->topLevelItem(0));
                msg::setNextAnswer(true);
                QTest::mouseClick(child<QPushButton>(dialog, "button3"), Qt::LeftButton);
            }
        });
        QCOMPARE(query(QStringLiteral("select count(*) from %1").arg(table)), QStringList{QStringLiteral("0")});
        QCOMPARE(shown().size(), 3);
    }

    void eachListKeepsItsOwnSortState()
    {
        seed(QStringLiteral("insert into pub (pub_name) values ('a'), ('b');"
                            "insert into author (author_name) values ('a'), ('b')"));
        start();
        fixture::runDialog(form_main->action("mepub"), [](QDialog *dialog) {
            auto *list = child<QTreeWidget>(dialog, "listview");
            clickHeader(list, 0);
            QCOMPARE(rows(list, 0), (QStringList{"b", "a"}));
        });
        fixture::runDialog(form_main->action("meauthor"), [](QDialog *dialog) {
            auto *list = child<QTreeWidget>(dialog, "listview");
            clickHeader(list, 0); // its own first click: descending too
            QCOMPARE(rows(list, 0), (QStringList{"b", "a"}));
        });
        QCOMPARE(form_pub->findChild<QTreeWidget *>()->topLevelItem(0)->text(0), QStringLiteral("b"));
    }
};

QTEST_MAIN(ListsTest)
#include "tst_lists.moc"
