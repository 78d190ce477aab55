// The main window's restore command, and the restore program that puts a
// backup in place of data.qmd.
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "restore/cataloguecheck.h"
#include "restore/datafilereplace.h"
#include "restore/form_restore.h"
#include "store/programfolder.h"
#include "store/usererror.h"
#include "support/filehelpers.h"
#include "support/guitest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <sqlite3.h>
#include <unistd.h>

using namespace filehelpers;

namespace {

template <class T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class RestoreTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    QString programFolder() const { return QDir(folder->path()).canonicalPath(); }
    bool inProgramFolder() const { return QDir::current().canonicalPath() == programFolder(); }

private Q_SLOTS:
    // --- Restore command ----------------------------------------------------

    void restoreCommandAnsweredNo()
    {
        writeProgram(folder->path() + QStringLiteral("qmrestore"));
        start();
        const QByteArray data = bytes(folder->dataFile());
        trigger("mfdaoru");
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
        trigger("mfdaoru");
        QCOMPARE(msg::takeShown().size(), 1);
        QVERIFY(!form_main->isVisible());
        // Started without arguments, in the program folder.
        const QString started = folder->path() + QStringLiteral("started.txt");
        QTRY_VERIFY(QFileInfo::exists(started));
        QCOMPARE(QString::fromUtf8(bytes(started)), QStringLiteral("0|") + programFolder());
    }

    // A catalogue that is not the one beside the program (an installed
    // program's user's own, or one named with --data) is handed to the
    // restore program, which replaces that one and names it.
    void restoreCommandHandsOverACatalogueNotBesideTheProgram()
    {
        writeProgram(folder->path() + QStringLiteral("qmrestore"));
        QTemporaryDir other;
        const QString inUse = makeCatalogue(other.filePath(QStringLiteral("藏书.qmd")), 1);
        programfolder::useDataFile(inUse);
        start();
        msg::setNextAnswer(true);
        trigger("mfdaoru");
        QCOMPARE(msg::takeShown().size(), 1);
        // Started with --data and the file, in the catalogue's folder.
        const QString started = other.filePath(QStringLiteral("started.txt"));
        QTRY_VERIFY(QFileInfo::exists(started));
        QCOMPARE(QString::fromUtf8(bytes(started)), QStringLiteral("2|") + QDir(other.path()).canonicalPath());
    }

    void restoreReplacesTheCatalogueInUse()
    {
        seedBooks(folder->dataFile(), 1);
        const QByteArray besideProgram = bytes(folder->dataFile());
        writeProgram(folder->path() + QStringLiteral("quillmere"));
        QTemporaryDir other;
        const QString inUse = makeCatalogue(other.filePath(QStringLiteral("藏书.qmd")), 3);
        const QByteArray before = bytes(inUse);
        programfolder::useDataFile(inUse);
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);

        RestoreWindow window(programfolder::dataFile());
        window.show();
        const QString safetyText = child<QLabel>(&window, "label_safety")->text();
        QVERIFY2(safetyText.contains(QStringLiteral("“藏书.qmd”")) &&
                     safetyText.contains(QDir::toNativeSeparators(other.path())),
                 qPrintable(safetyText));
        QCOMPARE(child<QLabel>(&window, "label_current")->text(), QStringLiteral("当前数据（藏书.qmd）"));
        QCOMPARE(child<QLabel>(&window, "label_currentcount")->text(), QStringLiteral("3 本"));

        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        msg::setNextAnswer(true);
        msg::setNextAnswer(true);
        QTest::mouseClick(child<QPushButton>(&window, "button_restore"), Qt::LeftButton);
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].text.contains(QDir::toNativeSeparators(inUse)), qPrintable(shown[0].text));

        QCOMPARE(bytes(inUse), bytes(backup));
        const QStringList kept = filesIn(other.path()).filter(QStringLiteral("藏书-before-restore-"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(bytes(other.filePath(kept[0])), before);
        QVERIFY2(shown[1].text.contains(kept[0]) && shown[1].text.contains(QDir::toNativeSeparators(other.path())),
                 qPrintable(shown[1].text));
        QCOMPARE(bytes(folder->dataFile()), besideProgram);
        // The program is started again on the same catalogue: the one from
        // beside the restore program, handed the file, in its folder.
        const QString started = other.filePath(QStringLiteral("started.txt"));
        QTRY_VERIFY(QFileInfo::exists(started));
        QCOMPARE(QString::fromUtf8(bytes(started)), QStringLiteral("2|") + QDir(other.path()).canonicalPath());
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
        trigger("mfdaoru");
        QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(int(shown[1].kind), int(msg::Kind::Error));
        QVERIFY2(shown[1].text.contains(QStringLiteral("“qmrestore”")), qPrintable(shown[1].text));
        QVERIFY(form_main->isVisible());
        QVERIFY(inProgramFolder());
    }

    // --- The restore program ------------------------------------------------

    // The help document names the restore program's window as it does the
    // main window's (tests/main).
    void helpDocumentNamesTheRestoreWindow()
    {
        const QString html = QString::fromUtf8(bytes(QFINDTESTDATA("../../resources/qmp.html")));
        RestoreWindow window(programfolder::dataFile());
        QCOMPARE(window.objectName(), QStringLiteral("form_restore"));
        QVERIFY2(html.contains(window.windowTitle()), qPrintable(window.windowTitle()));
    }

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

        RestoreWindow window(programfolder::dataFile());
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
        RestoreWindow window(programfolder::dataFile());
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
        QVERIFY_THROWS_EXCEPTION(UserError, restore::replaceDataFile(backup, folder->dataFile()));
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), files);
    }

    void restoreAnsweredNoChangesNothing()
    {
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        RestoreWindow window(programfolder::dataFile());
        window.show();
        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&window, "button_restore"), Qt::LeftButton);
        QCOMPARE(msg::takeShown().size(), 1);
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), QStringList{QStringLiteral("data.qmd")});
        QVERIFY(child<QPushButton>(&window, "button_restore")->isEnabled());
    }

    void questionsSpeakTheLanguageOfTheirProgram_data()
    {
        QTest::addColumn<bool>("restoreProgram");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::newRow("the restore program: Chinese") << true << "提示"
                                                      << "是(&Y)"
                                                      << "否(&N)";
        QTest::newRow("the main program: as always") << false << "Information"
                                                     << "&Yes"
                                                     << "&No";
    }
    void questionsSpeakTheLanguageOfTheirProgram()
    {
        QFETCH(bool, restoreProgram);
        QFETCH(QString, caption);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        writeProgram(folder->path() + QStringLiteral("qmrestore"));
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        std::unique_ptr<RestoreWindow> window;
        if (restoreProgram) {
            window = std::make_unique<RestoreWindow>(programfolder::dataFile());
            window->show();
            filedialog::setNextFileName(backup);
            QTest::mouseClick(child<QPushButton>(window.get(), "button_open"), Qt::LeftButton);
        } else {
            start();
        }

        // The real question box, answered with Escape.
        msg::setScripted(false);
        const auto scripted = qScopeGuard([] { msg::setScripted(true); });
        QString shownCaption, defaultText;
        QStringList buttonTexts;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            shownCaption = box->windowTitle();
            for (QAbstractButton *button : box->buttons())
                buttonTexts << button->text();
            defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        poll.start();
        if (restoreProgram)
            QTest::mouseClick(child<QPushButton>(window.get(), "button_restore"), Qt::LeftButton);
        else
            trigger("mfdaoru");

        QCOMPARE(shownCaption, caption);
        buttonTexts.sort();
        QStringList expected{yes, no};
        expected.sort();
        QCOMPARE(buttonTexts, expected);
        QCOMPARE(defaultText, yes);
        // Escape answers no: nothing is restored, nothing is started.
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), (QStringList{QStringLiteral("data.qmd"), QStringLiteral("qmrestore")}));
        QVERIFY(restoreProgram ? window->isVisible() : form_main->isVisible());
    }

    // Restores the backup through the restore window, answering yes, and
    // not starting the program again; returns what was shown.
    QList<msg::Shown> restoreThroughTheWindow(const QString &backup)
    {
        msg::setScripted(true); // no answer left from before
        RestoreWindow window(programfolder::dataFile());
        window.show();
        filedialog::setNextFileName(backup);
        QTest::mouseClick(child<QPushButton>(&window, "button_open"), Qt::LeftButton);
        msg::setNextAnswer(true);
        msg::setNextAnswer(false);
        QTest::mouseClick(child<QPushButton>(&window, "button_restore"), Qt::LeftButton);
        return msg::takeShown();
    }

    void restoreAfterAWriteWasKilled_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::newRow("killed in the middle of a rename") << "killed";
        QTest::newRow("journal with a zeroed header") << "zeroed";
    }
    void restoreAfterAWriteWasKilled()
    {
        QFETCH(QString, journal);
        seedBooks(folder->dataFile(), 2000, 300);
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        if (journal == QLatin1String("killed")) {
            // A Quillmere (its lock) and its write, both killed half-way.
            auto quillmere = fixture::OtherProgram::holdingLock(folder->dataFile());
            auto writer = fixture::OtherProgram::withSql(folder->dataFile());
            QCOMPARE(writer->run(QStringLiteral("PRAGMA cache_size=2")), QStringLiteral("ok"));
            QCOMPARE(writer->run(QStringLiteral("BEGIN IMMEDIATE")), QStringLiteral("ok"));
            QCOMPARE(writer->run(QStringLiteral("UPDATE book SET book_cate='改过的分类'")), QStringLiteral("ok"));
            writer->kill();
            quillmere->kill();
            QVERIFY(QFileInfo::exists(folder->dataFile() + QStringLiteral(".lock")));
        } else {
            writeFile(folder->dataFile() + QStringLiteral("-journal"), QByteArray(4096, '\0'));
        }
        QVERIFY(QFileInfo::exists(folder->dataFile() + QStringLiteral("-journal")));

        const QList<msg::Shown> shown = restoreThroughTheWindow(backup);
        QCOMPARE(shown.size(), 2);
        // The window could read the current file: no false "in use".
        QVERIFY2(shown[0].text.contains(QStringLiteral("书籍 2000 本")), qPrintable(shown[0].text));
        QVERIFY2(shown[1].text.startsWith(QStringLiteral("数据已还原")), qPrintable(shown[1].text));
        QCOMPARE(bytes(folder->dataFile()), bytes(backup));
        // Nothing of the old catalogue is lost: the safety copy is whole and
        // holds it as it was before the interrupted change.
        const QStringList kept = filesIn(folder->path()).filter(QStringLiteral("before-restore"));
        QCOMPARE(kept.size(), 1);
        const restore::CatalogueFacts facts = restore::inspect(folder->path() + kept[0]);
        QVERIFY2(facts.catalogue, qPrintable(facts.problem));
        QCOMPARE(facts.books, qint64(2000));
        QCOMPARE(fixture::column(folder->path() + kept[0], QStringLiteral("select distinct book_cate from book")),
                 QStringList{QStringLiteral("<null>")});
        QCOMPARE(filesIn(folder->path()), (QStringList{kept[0], QStringLiteral("data.qmd")}));
    }

    void restoreOnAFullDisk()
    {
        fixture::Tmpfs disk(1024 * 1024);
        if (!disk.isMounted())
            QSKIP("A tmpfs cannot be mounted here.");
        const QString data = makeCatalogue(disk.path() + QStringLiteral("data.qmd"), 300, 300);
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(data);
        disk.fill();
        const QStringList files = filesIn(disk.path());
        QString message;
        try {
            restore::replaceDataFile(backup, disk.path() + QStringLiteral("data.qmd"));
        } catch (const UserError &e) {
            message = e.message();
        }
        QVERIFY2(message.contains(QStringLiteral("磁盘已满")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("data-before-restore-")), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(QDir(disk.path()).absolutePath())), qPrintable(message));
        QCOMPARE(bytes(data), before);
        QCOMPARE(filesIn(disk.path()), files);
    }

    void restoreWhileQuillmereRuns()
    {
        seedBooks(folder->dataFile(), 1);
        QTemporaryDir elsewhere;
        const QString backup = makeCatalogue(elsewhere.filePath(QStringLiteral("old.qmd")), 2);
        const QByteArray before = bytes(folder->dataFile());
        auto quillmere = fixture::OtherProgram::holdingLock(folder->dataFile());

        const QList<msg::Shown> shown = restoreThroughTheWindow(backup);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(int(shown[1].kind), int(msg::Kind::Error));
        QCOMPARE(shown[1].text, restore::inUseMessage(folder->dataFile()));
        QCOMPARE(bytes(folder->dataFile()), before);
        QCOMPARE(filesIn(folder->path()), (QStringList{QStringLiteral("data.qmd"), QStringLiteral("data.qmd.lock")}));

        // Once it has ended, the same backup is restored.
        QVERIFY(quillmere->finish());
        const QList<msg::Shown> again = restoreThroughTheWindow(backup);
        QCOMPARE(again.size(), 2);
        QVERIFY2(again[1].text.startsWith(QStringLiteral("数据已还原")), qPrintable(again[1].text));
        QCOMPARE(bytes(folder->dataFile()), bytes(backup));
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
            restore::replaceDataFile(backup, folder->dataFile());
        } catch (const UserError &e) {
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
