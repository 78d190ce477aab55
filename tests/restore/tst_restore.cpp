// The main window's commands on the data file, the help document and the home
// page, and the restore program that puts a backup in place of data.qmd.
#include "app/programfolder.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "filehelpers.h"
#include "main/form_main.h"
#include "restore/cataloguecheck.h"
#include "restore/datafilereplace.h"
#include "restore/form_restore.h"
#include "store/storeerror.h"
#include "support/fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace filehelpers;

namespace {

template <class T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class RestoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<fixture::ProgramFolder> folder;
    std::unique_ptr<fixture::Windows> windows;

    void start()
    {
        windows = std::make_unique<fixture::Windows>();
        form_main->resize(800, 600);
        form_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_main));
    }
    QString programFolder() const { return QDir(folder->path()).canonicalPath(); }
    bool inProgramFolder() const { return QDir::current().canonicalPath() == programFolder(); }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<fixture::ProgramFolder>();
        msg::setScripted(true);
        filedialog::setScripted(true);
    }
    void cleanup()
    {
        QTRY_VERIFY(!QApplication::activeModalWidget());
        windows.reset();
        desktop::setScripted(false);
        msg::setScripted(false);
        filedialog::setScripted(false);
        folder.reset();
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
        form_main->action("mfbeifen")->trigger();
        QVERIFY(filesIn(elsewhere.path()).isEmpty());
        QVERIFY(inProgramFolder());

        filedialog::setNextFileName(target);
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        form_main->action("mfbeifen")->trigger();
        QCOMPARE(bytes(target), bytes(folder->dataFile()));
        QVERIFY(inProgramFolder());
        QVERIFY(form_main->statusBar()->currentMessage().contains(QDir::toNativeSeparators(target)));

        // Again over the same file, after a change: the older backup is
        // replaced by the whole new copy.
        seedBooks(folder->dataFile(), 1);
        filedialog::setNextFileName(target);
        form_main->action("mfbeifen")->trigger();
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
        QCOMPARE(restore::inspect(target).books, 3);
        QTreeWidget *tree = form_main->treeview_main;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(0)).center());
        QCOMPARE(form_main->listview_main->model()->rowCount(), 3);
    }

    void failedBackupKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << "disk full";
        QTest::newRow("unwritable folder") << "unwritable";
        QTest::newRow("data file missing") << "missing";
        QTest::newRow("data file missing, no older file") << "missing, new name";
        QTest::newRow("over the data file itself") << "itself";
    }
    void failedBackupKeepsTheOlderFile()
    {
        QFETCH(QString, cause);
        seedBooks(folder->dataFile(), 2);
        start();
        QTemporaryDir elsewhere;
        QString target = elsewhere.filePath(QStringLiteral("qmdbackup.qmd"));
        if (cause != QLatin1String("missing, new name"))
            writeFile(target, "an older backup");
        if (cause == QLatin1String("itself"))
            target = folder->dataFile();
        const QByteArray older = bytes(target);
        const QStringList before = filesIn(QFileInfo(target).path());

        if (cause == QLatin1String("unwritable")) {
            if (geteuid() == 0)
                QSKIP("Every folder is writable for root; the full disk shows the same path.");
            QVERIFY(QFile::setPermissions(elsewhere.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        if (cause.startsWith(QLatin1String("missing")))
            QVERIFY(QFile::remove(folder->dataFile()));
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        if (cause == QLatin1String("disk full")) {
            // Writes stop after 4 KB, as on a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, limit.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        filedialog::setNextFileName(target);
        form_main->action("mfbeifen")->trigger();
        setrlimit(RLIMIT_FSIZE, &limit);
        QFile::setPermissions(elsewhere.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Error));
        QVERIFY2(shown[0].text.contains(QStringLiteral("“%1”").arg(QFileInfo(target).fileName())),
                 qPrintable(shown[0].text));
        QVERIFY2(shown[0].text.contains(QDir::toNativeSeparators(QFileInfo(target).absolutePath())),
                 qPrintable(shown[0].text));
        if (cause.startsWith(QLatin1String("missing")))
            QVERIFY2(shown[0].text.contains(QStringLiteral("“data.qmd”")), qPrintable(shown[0].text));
        QCOMPARE(bytes(target), older);
        QCOMPARE(filesIn(QFileInfo(target).path()), before);
        QVERIFY(inProgramFolder());
        QVERIFY(form_main->statusBar()->currentMessage().isEmpty());
    }

    // --- Restore command ----------------------------------------------------

    void restoreCommandAnsweredNo()
    {
        writeProgram(folder->path() + QStringLiteral("qmrestore"));
        start();
        const QByteArray data = bytes(folder->dataFile());
        form_main->action("mfdaoru")->trigger();
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Question));
        QCOMPARE(shown[0].text, QStringLiteral("此操作将完全丢失当前数据并关闭当前主程序打开数据还原程序,您确定么？"));
        QVERIFY(form_main->isVisible());
        QTest::qWait(200);
        QVERIFY(!QFileInfo::exists(folder->path() + QStringLiteral("started.txt")));
        QCOMPARE(bytes(folder->dataFile()), data);
    }

    void restoreCommandStartsTheRestoreProgram()
    {
        writeProgram(folder->path() + QStringLiteral("qmrestore"));
        start();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        msg::setNextAnswer(true);
        form_main->action("mfdaoru")->trigger();
        QCOMPARE(msg::takeShown().size(), 1);
        QVERIFY(!form_main->isVisible());
        // Started without arguments, in the program folder.
        const QString started = folder->path() + QStringLiteral("started.txt");
        QTRY_VERIFY(QFileInfo::exists(started));
        QCOMPARE(QString::fromUtf8(bytes(started)), QStringLiteral("0|") + programFolder());
    }

    void restoreProgramThatCannotStart_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("not executable") << true;
    }
    void restoreProgramThatCannotStart()
    {
        QFETCH(bool, present);
        if (present)
            writeFile(folder->path() + QStringLiteral("qmrestore"), "#!/bin/sh\n");
        start();
        msg::setNextAnswer(true);
        form_main->action("mfdaoru")->trigger();
        QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(int(shown[1].kind), int(msg::Kind::Error));
        QVERIFY2(shown[1].text.contains(QStringLiteral("“qmrestore”")), qPrintable(shown[1].text));
        QVERIFY(form_main->isVisible());
        QVERIFY(inProgramFolder());
    }

    // --- Help and home page -------------------------------------------------

    void helpOpensTheProgramFoldersDocument()
    {
        writeFile(folder->path() + QStringLiteral("qmp.html"), "<html></html>");
        start();
        desktop::setScripted(true);
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        form_main->action("mhhelp")->trigger();
        const QList<desktop::Request> requests = desktop::takeRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(int(requests[0].kind), int(desktop::Request::Kind::Open));
        QCOMPARE(requests[0].target, QUrl::fromLocalFile(folder->path() + QStringLiteral("qmp.html")).toString());
        QVERIFY(inProgramFolder());
        QVERIFY(msg::takeShown().isEmpty());

        form_main->action("mhhomepage")->trigger();
        const QList<desktop::Request> home = desktop::takeRequests();
        QCOMPARE(home.size(), 1);
        QCOMPARE(int(home[0].kind), int(desktop::Request::Kind::Open));
        QCOMPARE(home[0].target, QStringLiteral("https://quillmere.example.org/"));
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
        QTest::newRow("nothing opens the home page")
            << "mhhomepage" << true << false << "https://quillmere.example.org/";
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
            QVERIFY2(target.startsWith(QLatin1Char('#')) || target == QLatin1String("https://quillmere.example.org/"),
                     qPrintable(target));
            if (target.startsWith(QLatin1Char('#')))
                QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(target.mid(1))), qPrintable(target));
        }

        start();
        QStringList missing;
        static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)$"));
        for (QAction *action : form_main->findChildren<QAction *>()) {
            if (action->objectName().isEmpty() || action->isSeparator() || action->text().isEmpty())
                continue;
            const QString caption = action->text().remove(accessKey).remove(QLatin1Char('&'));
            if (!html.contains(caption))
                missing << action->objectName() + QLatin1Char('=') + caption;
        }
        Tform_restore restoreWindow;
        QList<QWidget *> shown = QApplication::topLevelWidgets();
        for (QWidget *w : shown)
            if (w->objectName().startsWith(QStringLiteral("form_")) &&
                w->objectName() != QLatin1String("form_welcome") && !html.contains(w->windowTitle()))
                missing << w->objectName() + QLatin1Char('=') + w->windowTitle();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    // --- The restore program ------------------------------------------------

    void inspectTellsCataloguesFromOtherFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("catalogue");
        QTest::addColumn<int>("books");
        QTest::newRow("new catalogue") << "new" << true << 0;
        QTest::newRow("catalogue with books") << "books" << true << 3;
        QTest::newRow("missing file") << "missing" << false << -1;
        QTest::newRow("empty file") << "empty" << false << -1;
        QTest::newRow("text file") << "text" << false << -1;
        QTest::newRow("truncated catalogue") << "truncated" << false << -1;
        QTest::newRow("damaged inside") << "damaged" << false << -1;
        QTest::newRow("other SQLite file") << "other" << false << -1;
        QTest::newRow("table without a column") << "column" << false << -1;
    }
    void inspectTellsCataloguesFromOtherFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, catalogue);
        QFETCH(int, books);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("backup.qmd"));
        if (kind == QLatin1String("new"))
            makeCatalogue(path, 0);
        else if (kind == QLatin1String("books"))
            makeCatalogue(path, 3);
        else if (kind == QLatin1String("empty"))
            writeFile(path, QByteArray());
        else if (kind == QLatin1String("text"))
            writeFile(path, QByteArray("这不是数据文件\n").repeated(500));
        else if (kind == QLatin1String("truncated") || kind == QLatin1String("damaged")) {
            makeCatalogue(path, 300, 400);
            QFile file(path);
            const qint64 size = file.size();
            if (kind == QLatin1String("truncated")) {
                QVERIFY(file.resize(size / 2));
            } else {
                QVERIFY(file.open(QIODevice::ReadWrite));
                file.seek(size / 2 + 100);
                file.write(QByteArray(2000, '\x7f'));
            }
        } else if (kind == QLatin1String("other")) {
            writeFile(path, QByteArray());
            QFile::remove(path);
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            sqlite3_exec(db, "create table book (book_id integer primary key, book_name text)", nullptr, nullptr,
                         nullptr);
            sqlite3_close(db);
        } else if (kind == QLatin1String("column")) {
            makeCatalogue(path, 1);
            fixture::exec(path, QStringLiteral("alter table reg drop column reg_passwd"));
        }
        const restore::CatalogueFacts facts = restore::inspect(path);
        QCOMPARE(facts.catalogue, catalogue);
        QCOMPARE(facts.problem.isEmpty(), catalogue);
        QCOMPARE(facts.exists, kind != QLatin1String("missing"));
        if (catalogue) {
            QCOMPARE(facts.books, qint64(books));
            QCOMPARE(facts.modified, QFileInfo(path).lastModified());
        }
        if (kind == QLatin1String("column"))
            QVERIFY2(facts.problem.contains(QStringLiteral("reg_passwd")), qPrintable(facts.problem));
    }

    void restoreReplacesTheDataFileAndKeepsASafetyCopy_data()
    {
        QTest::addColumn<bool>("startAgain");
        QTest::newRow("not started again") << false;
        QTest::newRow("started again") << true;
    }
    void restoreReplacesTheDataFileAndKeepsASafetyCopy()
    {
        QFETCH(bool, startAgain);
        seedBooks(folder->dataFile(), 1);
        writeProgram(folder->path() + QStringLiteral("quillmere"));
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        const QFileDevice::Permissions permissions = QFile::permissions(folder->dataFile());
        const QByteArray restored = bytes(backup);

        Tform_restore window;
        window.show();
        QVERIFY(child<QLabel>(&window, "label_safety")
                    ->text()
                    .contains(QDir::toNativeSeparators(folder->path().chopped(1))));
        QCOMPARE(child<QLabel>(&window, "label_currentcount")->text(), QStringLiteral("1 本"));
        QVERIFY(!child<QPushButton>(&window, "button_restore")->isEnabled());

        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        const QList<filedialog::Options> asked = filedialog::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].filter, QStringLiteral("Quillmere数据文件 (*.qmd)"));
        QCOMPARE(child<QLineEdit>(&window, "edit_file")->text(), QDir::toNativeSeparators(backup));
        QCOMPARE(child<QLabel>(&window, "label_backupcount")->text(), QStringLiteral("2 本"));
        QVERIFY(child<QLabel>(&window, "label_backupdate")
                    ->text()
                    .contains(QFileInfo(backup).lastModified().toString(QStringLiteral("HH:mm:ss"))));
        QVERIFY(child<QPushButton>(&window, "button_restore")->isEnabled());

        msg::setNextAnswer(true);
        msg::setNextAnswer(startAgain);
        QTest::mouseClick(child<QPushButton>(&window, "button_restore"), Qt::LeftButton);
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 2);
        // Asked with both files' dates and numbers of books side by side.
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Question));
        QVERIFY2(shown[0].text.contains(QStringLiteral("书籍 2 本")) &&
                     shown[0].text.contains(QStringLiteral("书籍 1 本")),
                 qPrintable(shown[0].text));

        // data.qmd is the backup now; the old one is kept under the name the
        // window and the message give.
        QCOMPARE(bytes(folder->dataFile()), restored);
        QStringList kept = filesIn(folder->path()).filter(QStringLiteral("before-restore"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(bytes(folder->path() + kept[0]), before);
        QCOMPARE(QFile::permissions(folder->path() + kept[0]), permissions);
        QCOMPARE(QFile::permissions(folder->dataFile()), permissions);
        QVERIFY(child<QLabel>(&window, "label_safety")->text().contains(kept[0]));
        QVERIFY(shown[1].text.contains(kept[0]));
        QStringList expected{QStringLiteral("data.qmd"), kept[0], QStringLiteral("quillmere")};
        expected.sort();
        // The program started again may already be writing its own note.
        QStringList present = filesIn(folder->path());
        present.removeAll(QStringLiteral("started.tmp"));
        present.removeAll(QStringLiteral("started.txt"));
        QCOMPARE(present, expected);
        QCOMPARE(child<QLabel>(&window, "label_currentcount")->text(), QStringLiteral("2 本"));
        QVERIFY(!child<QPushButton>(&window, "button_restore")->isEnabled());

        // Offered to start the program again: in its folder, no arguments.
        const QString started = folder->path() + QStringLiteral("started.txt");
        if (startAgain) {
            QTRY_VERIFY(QFileInfo::exists(started));
            QCOMPARE(QString::fromUtf8(bytes(started)), QStringLiteral("0|") + programFolder());
            QVERIFY(!window.isVisible());
        } else {
            QVERIFY(window.isVisible());
            QTest::qWait(200);
            QVERIFY(!QFileInfo::exists(started));
        }

        // The restored file serves the program: its books are listed.
        start();
        QCOMPARE(form_main->listview_main->model()->rowCount(), 2);
    }

    void refusedFilesLeaveTheDataFileUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a catalogue") << "text";
        QTest::newRow("truncated catalogue") << "truncated";
        QTest::newRow("missing file") << "missing";
        QTest::newRow("the data file itself") << "itself";
    }
    void refusedFilesLeaveTheDataFileUntouched()
    {
        QFETCH(QString, kind);
        seedBooks(folder->dataFile(), 1);
        QTemporaryDir elsewhere;
        QString backup = elsewhere.filePath(QStringLiteral("backup.qmd"));
        if (kind == QLatin1String("text")) {
            writeFile(backup, "just some text");
        } else if (kind == QLatin1String("truncated")) {
            makeCatalogue(backup, 300, 400);
            QVERIFY(QFile::resize(backup, QFileInfo(backup).size() / 2));
        } else if (kind == QLatin1String("itself")) {
            backup = folder->dataFile();
        }
        const QByteArray before = bytes(folder->dataFile());
        const QStringList files = filesIn(folder->path());

        // Through the window: a clear message, nothing to restore.
        Tform_restore window;
        window.show();
        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
        QVERIFY2(shown[0].text.contains(QStringLiteral("“%1”").arg(QFileInfo(backup).fileName())),
                 qPrintable(shown[0].text));
        QVERIFY(!child<QPushButton>(&window, "button_restore")->isEnabled());
        QVERIFY(child<QLineEdit>(&window, "edit_file")->text().isEmpty());

        // And the replacing itself refuses it as well.
        QVERIFY_THROWS_EXCEPTION(StoreError, restore::replaceDataFile(backup, folder->path()));
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), files);
    }

    void restoreAnsweredNoChangesNothing()
    {
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        Tform_restore window;
        window.show();
        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&window, "button_restore"), Qt::LeftButton);
        QCOMPARE(msg::takeShown().size(), 1);
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), QStringList{QStringLiteral("data.qmd")});
        QVERIFY(child<QPushButton>(&window, "button_restore")->isEnabled());
    }

    void dataFileInUseIsNotReplaced()
    {
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        // Another connection is in the middle of a change: its journal lies
        // beside the data file.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(folder->dataFile()).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "begin immediate; insert into category (cate_name) values ('x');", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        QVERIFY(QFileInfo::exists(folder->dataFile() + QStringLiteral("-journal")));
        QString message;
        try {
            restore::replaceDataFile(backup, folder->path());
        } catch (const StoreError &e) {
            message = e.message();
        }
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY2(message.contains(QStringLiteral("正被其他程序使用")), qPrintable(message));
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), QStringList{QStringLiteral("data.qmd")});
    }
};

QTEST_MAIN(RestoreTest)
#include "tst_restore.moc"
