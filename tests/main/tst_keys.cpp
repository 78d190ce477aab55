// The main window's standard keys, the status bar's count of the books
// listed, the start page of an empty catalogue and the caption that names a
// catalogue other than the one beside the program, driven through the real
// widgets.
#include "books/form_addbook.h"
#include "catalogue/catalogue.h"
#include "components/apptitle.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "support/elsewhere.h"
#include "support/filehelpers.h"
#include "support/guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

class KeysTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    std::unique_ptr<fixture::CatalogueElsewhere> place;

    static BookListModel *model() { return form_main->listview_main->model(); }
    static QString countShown() { return fixture::child<QLabel>(form_main, "statuspanel_main")->text(); }
    static QWidget *startPage() { return fixture::child<QWidget>(form_main, "startpage_main"); }
    static bool startPageShown() { return startPage()->isVisible() && !form_main->listview_main->isVisible(); }
    static bool listShown() { return form_main->listview_main->isVisible() && !startPage()->isVisible(); }
    static QStringList shownTexts()
    {
        QStringList texts;
        for (const msg::Shown &s : msg::takeShown())
            texts << s.text;
        return texts;
    }
    static void clickNode(const QString &text)
    {
        QTreeWidget *tree = form_main->treeview_main;
        const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(found.first()).center());
    }
    static void search(const QString &word)
    {
        fixture::runDialog(form_main->action("mtfind"), [&](QDialog *dialog) {
            fixture::type(fixture::child<QLineEdit>(dialog, "edit_find"), word);
            QTest::mouseClick(fixture::child<QPushButton>(dialog, "button_ok"), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
    }
    // A book stored by another way than the list's own commands, announced
    // as the catalogue announces a book added.
    void storeBook(const QString &name)
    {
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values ('%1', 1, 1, 1)")
                 .arg(name));
        const qint64 id = query(QStringLiteral("select max(book_id) from book")).value(0).toLongLong();
        Q_EMIT windows->catalogue().bookAdded(id);
    }
    static void deleteRow(int row)
    {
        form_main->listview_main->selectRow(row);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("真的要删除这本书么？")});
    }
    static void clickLink(const char *command)
    {
        auto *link = fixture::child<QLabel>(form_main, (QByteArray("startlink_") + command).constData());
        QVERIFY(link->isVisible());
        // The line's link stands at its start.
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(link->fontMetrics().height() / 2, link->height() / 2));
    }

private Q_SLOTS:
    void init() { setUpCase(); }
    void cleanup()
    {
        // The windows go before the catalogue's place, the place before
        // the program folder it was chosen in.
        QTRY_VERIFY(!QApplication::activeModalWidget());
        windows.reset();
        place.reset();
        tearDownCase();
    }

    // Each key, where the focus is, runs its command as the menu does, or
    // nothing: what opened or was asked, and whether the book is still there.
    void keysRunTheirCommands_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("focus"); // list, icons or tree
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("outcome"); // a window, a message, a document opened, or ""
        const auto row = [](const char *name, QKeyCombination key, const char *focus, const char *command,
                            const char *outcome) {
            QTest::newRow(name) << key << QString::fromLatin1(focus) << QString::fromLatin1(command)
                                << QString::fromUtf8(outcome);
        };
        row("Ctrl+N", Qt::CTRL | Qt::Key_N, "list", "meaddbook", "form_addbook");
        row("Ctrl+N in the tree", Qt::CTRL | Qt::Key_N, "tree", "meaddbook", "form_addbook");
        row("Ctrl+E", Qt::CTRL | Qt::Key_E, "list", "meeditbook", "form_modbook");
        row("Ctrl+F", Qt::CTRL | Qt::Key_F, "tree", "mtfind", "form_find");
        row("F1", QKeyCombination(Qt::Key_F1), "list", "mhhelp", "qmp.html");
        row("Delete in the list", QKeyCombination(Qt::Key_Delete), "list", "medelbook", "真的要删除这本书么？");
        row("Delete in the icons", QKeyCombination(Qt::Key_Delete), "icons", "medelbook", "真的要删除这本书么？");
        row("Delete in the tree", QKeyCombination(Qt::Key_Delete), "tree", "medelbook", "");
    }
    void keysRunTheirCommands()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, focus);
        QFETCH(QString, command);
        QFETCH(QString, outcome);
        filehelpers::writeFile(folder->path() + QStringLiteral("qmp.html"), "<html></html>");
        seed(QStringLiteral("insert into category (cate_name) values ('小说');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating)"
                            " values ('边城', '小说', 1, 1, 1)"));
        start();
        desktop::setScripted(true);
        QAction *action = form_main->action(command.toLatin1().constData());
        // The menu shows the key beside the command.
        QCOMPARE(action->shortcut(), QKeySequence(key));
        form_main->listview_main->selectRow(0);
        QWidget *target = form_main->treeview_main;
        if (focus == QLatin1String("list")) {
            target = form_main->listview_main->reportView();
        } else if (focus == QLatin1String("icons")) {
            form_main->action("mvbigicon")->trigger();
            target = form_main->listview_main->iconView();
        }
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);

        QSignalSpy runs(action, &QAction::triggered);
        QString opened;
        if (outcome.startsWith(QLatin1String("form_")))
            fixture::onNextModal([&opened](QDialog *dialog) {
                opened = dialog->objectName();
                dialog->close();
            });
        msg::setNextAnswer(false);
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
        for (const QString &text : shownTexts())
            opened += text;
        for (const desktop::Request &request : desktop::takeRequests())
            opened += QUrl(request.target).fileName();
        QCOMPARE(opened, outcome);
        QCOMPARE(runs.size(), outcome.isEmpty() ? 0 : 1);
        QCOMPARE(query(QStringLiteral("select book_name from book")), QStringList{QStringLiteral("边城")});
    }

    // The count follows every change of the list's rows, and says when the
    // list shows what a search found.
    void statusBarCountsTheListedBooks()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('SF');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating) values"
                            " ('边城', '小说', 1, 1, 1), ('围城', '小说', 1, 1, 1), ('Dune', 'SF', 1, 1, 1)"));
        start();
        const struct
        {
            const char *step;
            std::function<void()> run;
            const char *count;
        } steps[] = {
            {"filled at start", [] {}, "共 3 本书"},
            {"a category", [] { clickNode(QStringLiteral("小说")); }, "共 2 本书"},
            {"a search", [] { search(QStringLiteral("边")); }, "找到 1 本书"},
            {"every book", [] { clickNode(QStringLiteral("全部分类")); }, "共 3 本书"},
            {"one deleted", [] { deleteRow(0); }, "共 2 本书"},
            {"one added", [this] { storeBook(QStringLiteral("活着")); }, "共 3 本书"},
            {"many at once",
             [this] {
                 seed(QStringLiteral("insert into book (book_name) values ('甲'), ('乙')"));
                 Q_EMIT windows->catalogue().booksReplaced();
             },
             "共 5 本书"},
        };
        for (const auto &step : steps) {
            step.run();
            QVERIFY2(!QTest::currentTestFailed(), step.step);
            QCOMPARE(countShown(), QString::fromUtf8(step.count));
            QCOMPARE(model()->rowCount(), countShown().section(QLatin1Char(' '), 1, 1).toInt());
        }
        QVERIFY(fixture::child<QLabel>(form_main, "statuspanel_main")->isVisible());
        QVERIFY(msg::takeShown().isEmpty());
    }

    // A search that finds nothing says so, quoting a long word only in part;
    // a search that finds books says nothing.
    void searchWithoutMatchSaysSo_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("message");
        const QString longWord = QString(45, QChar(0x4E66)); // 书
        QTest::newRow("found") << QStringLiteral("城") << QString();
        QTest::newRow("nothing") << QStringLiteral("红楼") << QStringLiteral("没有找到含有“红楼”的书籍");
        QTest::newRow("nothing, long word")
            << longWord << QStringLiteral("没有找到含有“%1…”的书籍").arg(longWord.left(40));
    }
    void searchWithoutMatchSaysSo()
    {
        QFETCH(QString, word);
        QFETCH(QString, message);
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values"
                            " ('边城', 1, 1, 1), ('围城', 1, 1, 1)"));
        start();
        search(word);
        const QList<msg::Shown> shown = msg::takeShown();
        if (message.isEmpty()) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(countShown(), QStringLiteral("找到 2 本书"));
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].kind, msg::Kind::Plain);
            QCOMPARE(shown[0].text, message);
            QCOMPARE(countShown(), QStringLiteral("找到 0 本书"));
            QVERIFY(listShown()); // the catalogue has books: no start page
        }
    }

    // The start page stands in the list's place while the catalogue holds no
    // book; its lines run their commands; it goes with the first book and
    // comes back with the last one deleted; an empty category or search
    // leaves the list in place.
    void startPageWhileNoBookIsStored()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说'), ('诗歌')"));
        start();
        QVERIFY(startPageShown());
        QCOMPARE(countShown(), QStringLiteral("共 0 本书"));
        QStringList lines;
        for (QLabel *link : startPage()->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^startlink_"))))
            lines << link->objectName() + QLatin1Char('=') + link->text();
        QCOMPARE(lines, (QStringList{"startlink_meaddbook=<a href=\"run\">添加新书籍</a>",
                                     "startlink_mfimportcsv=<a href=\"run\">从CSV文件导入书籍</a>"}));

        // The import asks for its file, as from the menu; no file, no import.
        clickLink("mfimportcsv");
        QCOMPARE(filedialog::takeAsked().size(), 1);
        QVERIFY(startPageShown());

        // Adding the first book through the window the line opens.
        bool added = false;
        fixture::onNextModal([&added](QDialog *dialog) {
            QCOMPARE(dialog, static_cast<QDialog *>(form_addbook));
            fixture::type(fixture::child<QLineEdit>(dialog, "book_name"), QStringLiteral("边城"));
            QTest::mouseClick(fixture::child<QPushButton>(dialog, "button_add"), Qt::LeftButton);
            added = true;
            if (dialog->isVisible())
                dialog->close();
        });
        clickLink("meaddbook");
        QVERIFY(added);
        QCOMPARE(query(QStringLiteral("select book_name from book")), QStringList{QStringLiteral("边城")});
        QVERIFY(listShown());
        QCOMPARE(model()->cell(0, 0), QStringLiteral("边城"));
        // The list has its place's size at once.
        QCOMPARE(form_main->listview_main->size(), startPage()->size());

        // An empty category or a search that finds nothing: the list, empty.
        clickNode(QStringLiteral("诗歌"));
        QCOMPARE(model()->rowCount(), 0);
        QVERIFY(listShown());
        search(QStringLiteral("红楼"));
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("没有找到含有“红楼”的书籍")});
        QVERIFY(listShown());

        // The last book deleted: the start page again; and gone again when
        // books come in at once.
        clickNode(QStringLiteral("全部分类"));
        deleteRow(0);
        QVERIFY(startPageShown());
        seed(QStringLiteral("insert into book (book_name) values ('甲'), ('乙')"));
        Q_EMIT windows->catalogue().booksReplaced();
        QVERIFY(listShown());
        QCOMPARE(countShown(), QStringLiteral("共 2 本书"));
    }

    // The caption names the catalogue's file and folder unless it is the
    // data file beside the program.
    void captionNamesACatalogueElsewhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        const QString home = QDir::homePath();
        QTest::newRow("in the home folder")
            << home + QStringLiteral("/书/旧藏书.qmd") << QStringLiteral("旧藏书.qmd（~/书） — Quillmere个人版 2.0");
        QTest::newRow("beside the home folder")
            << home + QStringLiteral("x/a.qmd") << QStringLiteral("a.qmd（%1x） — Quillmere个人版 2.0").arg(home);
        QTest::newRow("elsewhere") << QStringLiteral("/srv/藏书/data.qmd")
                                   << QStringLiteral("data.qmd（/srv/藏书） — Quillmere个人版 2.0");
    }
    void captionNamesACatalogueElsewhere()
    {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QCOMPARE(MainWindow::captionFor(file), caption);
        QCOMPARE(MainWindow::captionFor(dataFile()), app::title());
    }

    void captionOfTheWindow_data()
    {
        QTest::addColumn<int>("layout"); // -1: the data file beside the program
        QTest::newRow("beside the program") << -1;
        QTest::newRow("--data") << int(fixture::CatalogueElsewhere::Layout::Portable);
        QTest::newRow("installed") << int(fixture::CatalogueElsewhere::Layout::Installed);
    }
    void captionOfTheWindow()
    {
        QFETCH(int, layout);
        QString expected = app::title();
        if (layout >= 0) {
            place = std::make_unique<fixture::CatalogueElsewhere>(fixture::CatalogueElsewhere::Layout(layout));
            QVERIFY(place->isValid());
            const QFileInfo file(place->dataFile());
            QVERIFY(!file.absolutePath().startsWith(QDir::homePath() + QLatin1Char('/')));
            expected = QStringLiteral("%1（%2） — ").arg(file.fileName(), file.absolutePath()) + expected;
        }
        start();
        QCOMPARE(form_main->windowTitle(), expected);
    }
};

std::unique_ptr<QObject> makeKeysTest()
{
    return std::make_unique<KeysTest>();
}

#include "tst_keys.moc"
