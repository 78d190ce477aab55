// Start-up: the windows, the program folder, where the catalogue is, the
// command line, the login dialog.
#include "catalogue/catalogue.h"
#include "catalogue/schema.h"
#include "components/application.h"
#include "components/apptitle.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/commandline.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "security/form_welcome.h"
#include "store/cataloguelocation.h"
#include "store/cataloguelock.h"
#include "store/datafile.h"
#include "store/programfolder.h"
#include "store/usererror.h"
#include "support/filehelpers.h"
#include "support/guitest.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <ctime>
#include <sys/time.h>

using namespace filehelpers;

namespace {

// Every file and folder below a folder, relative to it, sorted.
QStringList everythingUnder(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

// The program as installed under a prefix of its own: the program folder
// bin/ with no data file beside the program, and the installed data folder
// with the empty catalogue (unless told otherwise) and the help document.
// The user's data folder (XDG_DATA_HOME) is in the same temporary folder
// until a test points it elsewhere. All is put back when it goes.
class Installed
{
public:
    explicit Installed(bool withTemplate = true)
        : m_previousFolder(programfolder::path())
        , m_previousDataHome(qgetenv("XDG_DATA_HOME"))
        , m_hadDataHome(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        QDir().mkpath(bin());
        programfolder::setOverride(bin());
        QDir().mkpath(share());
        if (withTemplate)
            schema::create(catalogueTemplate());
        writeFile(share() + QStringLiteral("qmp.html"), "<html></html>");
        setUsersDataFolder(root() + QStringLiteral("xdg"));
    }
    ~Installed()
    {
        programfolder::setOverride(m_previousFolder);
        if (m_hadDataHome)
            qputenv("XDG_DATA_HOME", m_previousDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    Installed(const Installed &) = delete;
    Installed &operator=(const Installed &) = delete;

    QString root() const { return m_root.path() + QLatin1Char('/'); }
    QString bin() const { return root() + QStringLiteral("bin/"); }
    QString share() const { return programfolder::installedFolder(); }
    QString catalogueTemplate() const { return share() + QStringLiteral("data.qmd"); }
    void setUsersDataFolder(const QString &folder) { qputenv("XDG_DATA_HOME", QFile::encodeName(folder)); }
    QString usersDataFile() const
    {
        return QFile::decodeName(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/Quillmere/data.qmd");
    }

private:
    QTemporaryDir m_root;
    QString m_previousFolder;
    QByteArray m_previousDataHome;
    bool m_hadDataHome;
};

} // namespace

class AppTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void setPassword(const QString &password)
    {
        fixture::exec(folder->dataFile(), QStringLiteral("update reg set reg_passwd='%1'").arg(password));
    }

    // Logs in through the real dialog: types the text (when the box is
    // shown) and clicks OK. Returns what the login returned.
    static bool logIn(const QString &typed)
    {
        fixture::onNextModal([typed](QDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edit_passwd"));
            if (edit->isVisible())
                QTest::keyClicks(edit, typed);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("button_ok")), Qt::LeftButton);
        });
        return form_main->logIn();
    }

    static QLineEdit *passwordBox() { return form_welcome->findChild<QLineEdit *>(QStringLiteral("edit_passwd")); }
    static QString prompt() { return form_welcome->findChild<QLabel *>(QStringLiteral("label2"))->text(); }

private Q_SLOTS:

    void allWindowsAreMadeInOrder()
    {
        fixture::Windows windows;
        const QStringList expected{
            QStringLiteral("form_main"),    QStringLiteral("form_addcate"),   QStringLiteral("form_pub"),
            QStringLiteral("form_author"),  QStringLiteral("form_reader"),    QStringLiteral("form_addbook"),
            QStringLiteral("form_modbook"), QStringLiteral("form_bookbase"),  QStringLiteral("form_modcate"),
            QStringLiteral("form_tnumber"), QStringLiteral("form_tjie"),      QStringLiteral("form_tmoney"),
            QStringLiteral("form_find"),    QStringLiteral("form_saveexcel"), QStringLiteral("form_savehtml"),
            QStringLiteral("form_welcome"), QStringLiteral("form_passwd")};
        QStringList made;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QStringLiteral("form_")))
                made << w->objectName();
        // topLevelWidgets() has no order of its own; compare as sets, and the
        // main window is the first made.
        QCOMPARE(QSet<QString>(made.begin(), made.end()), QSet<QString>(expected.begin(), expected.end()));
        QCOMPARE(form_main->windowTitle(), QStringLiteral("Quillmere个人版 2.0"));
        QVERIFY(msg::takeShown().isEmpty());
    }

    void noPasswordShowsPictureAndOkOnly()
    {
        fixture::Windows windows;
        QVERIFY(passwordBox()->isHidden());
        QCOMPARE(prompt(), QString());
        QVERIFY(logIn(QString()));
        QVERIFY(form_main->isVisible());
        QVERIFY(form_main->isMaximized());
        QVERIFY(msg::takeShown().isEmpty());
    }

    void storedPasswordIsComparedExactly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("letIn");
        QTest::newRow("exact text") << "Mi Ma 7" << true;
        QTest::newRow("letter case differs") << "mi ma 7" << false;
        QTest::newRow("trailing blank") << "Mi Ma 7 " << false;
        QTest::newRow("nothing typed") << "" << false;
    }
    void storedPasswordIsComparedExactly()
    {
        QFETCH(QString, typed);
        QFETCH(bool, letIn);
        setPassword(QStringLiteral("Mi Ma 7"));
        fixture::Windows windows;
        QVERIFY(!passwordBox()->isHidden());
        QCOMPARE(passwordBox()->echoMode(), QLineEdit::Password);
        QCOMPARE(prompt(), QStringLiteral("请输入数据库密码"));

        QCOMPARE(logIn(typed), letIn);
        QCOMPARE(form_main->isVisible(), letIn);
        const QList<msg::Shown> shown = msg::takeShown();
        if (letIn) {
            QVERIFY(shown.isEmpty());
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].text, QStringLiteral("密码输入有误..."));
            QCOMPARE(shown[0].caption, QStringLiteral("密码错误"));
            QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
        }
    }

    void wrongPasswordBoxShowsItsWholeCaption()
    {
        setPassword(QStringLiteral("abc"));
        fixture::Windows windows;
        // The real box this time, as the user sees it.
        msg::setScripted(false);
        const auto scripted = qScopeGuard([] { msg::setScripted(true); });
        QString caption, text;
        int width = 0;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            caption = box->windowTitle();
            text = box->text();
            width = box->width();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        poll.start();
        QVERIFY(!logIn(QStringLiteral("xyz")));
        QCOMPARE(caption, QStringLiteral("密码错误"));
        QCOMPARE(text, QStringLiteral("密码输入有误..."));
        // Room for the caption, drawn bold, beside the title bar's icon and
        // its three buttons, each about as wide as the bar is high.
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int needed = QFontMetrics(titleFont).horizontalAdvance(caption) +
                           4 * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
        QVERIFY(!form_main->isVisible());
    }

    void promptStandsWholeBelowThePicture()
    {
        setPassword(QStringLiteral("abc"));
        fixture::Windows windows;
        auto *label = form_welcome->findChild<QLabel *>(QStringLiteral("label2"));
        QCOMPARE(label->pos(), QPoint(232, 256));
        const QRect strip(0, 250, 400, 19); // below the picture, to the dialog's bottom edge
        QCOMPARE(form_welcome->size(), QSize(400, 269));
        QVERIFY(strip.contains(label->geometry()));
        // Nothing of the red text is cut: the strip holds as much of it as
        // when the label stands where it has room to spare.
        const auto redInStrip = [&] {
            QImage image(form_welcome->size(), QImage::Format_RGB32);
            form_welcome->render(&image);
            int red = 0;
            for (int y = strip.top(); y <= strip.bottom(); ++y)
                for (int x = strip.left(); x <= strip.right(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    red += c.red() > 200 && c.green() < 100 && c.blue() < 100;
                }
            return red;
        };
        const int shown = redInStrip();
        label->setGeometry(strip.adjusted(label->x(), 0, 0, 0));
        QCOMPARE(shown, redInStrip());
        QVERIFY(shown > 0);
    }

    void aboutBoxNeverEndsTheProgram()
    {
        setPassword(QStringLiteral("abc"));
        fixture::Windows windows;
        QVERIFY(logIn(QStringLiteral("abc")));
        // The password changes during the run; the about box still only closes.
        setPassword(QStringLiteral("xyz"));
        fixture::onNextModal([](QDialog *dialog) {
            QCOMPARE(dialog, static_cast<QDialog *>(form_welcome));
            QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("edit_passwd"))->text(), QStringLiteral("abc"));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("button_ok")), Qt::LeftButton);
        });
        form_main->action("mhabout")->trigger();
        QVERIFY(!form_welcome->isVisible());
        QVERIFY(form_main->isVisible());
        QVERIFY(msg::takeShown().isEmpty());
    }

    void programFolderIsUsedFromAnyCurrentFolder()
    {
        fixture::exec(folder->dataFile(), QStringLiteral("insert into book (book_name, book_loan) values ('围城', 1)"));
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        fixture::Windows windows;
        QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
        QCOMPARE(form_main->listview_main->model()->rowCount(), 1);
        QCOMPARE(form_main->listview_main->model()->cell(0, 0), QStringLiteral("围城"));
        QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("data.qmd"))));
    }

    void missingDataFileIsReportedAndNeverMade()
    {
        QFile::remove(folder->dataFile());
        fixture::Windows windows;
        const QList<msg::Shown> shown = msg::takeShown();
        QVERIFY(shown.size() >= 2); // the main window's creation and the login's
        for (const msg::Shown &s : shown) {
            QCOMPARE(int(s.kind), int(msg::Kind::Error));
            QCOMPARE(s.caption, QStringLiteral("Quillmere个人版 2.0"));
            QVERIFY2(s.text.contains(QStringLiteral("data.qmd")), qPrintable(s.text));
            QVERIFY2(s.text.contains(QDir::toNativeSeparators(QFileInfo(folder->dataFile()).absolutePath())),
                     qPrintable(s.text));
        }
        // The program comes up: empty tree and list, the login keeps its box.
        QCOMPARE(form_main->treeview_main->topLevelItemCount(), 0);
        QCOMPARE(form_main->listview_main->model()->rowCount(), 0);
        QVERIFY(!passwordBox()->isHidden());

        // Each OK reports the error again and the dialog stays open; Escape
        // leaves the program without letting anyone in.
        fixture::onNextModal([](QDialog *dialog) {
            auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("button_ok"));
            QTest::mouseClick(ok, Qt::LeftButton);
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(msg::takeShown().size(), 2);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!form_main->logIn());
        QVERIFY(!form_main->isVisible());
        QVERIFY(!QFileInfo::exists(folder->dataFile()));
    }

    // --- Where the catalogue is -------------------------------------------

    void catalogueIsFoundWhereItBelongs_data()
    {
        QTest::addColumn<bool>("beside");    // a data.qmd beside the program
        QTest::addColumn<bool>("installed"); // the installed empty catalogue
        QTest::addColumn<QString>("named");  // --data: "", "absolute", "relative"
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("where"); // "beside", "user's", "named"
        const int beside = int(cataloguelocation::Kind::BesideProgram);
        const int users = int(cataloguelocation::Kind::Users);
        const int named = int(cataloguelocation::Kind::Named);
        QTest::newRow("portable copy") << true << false << "" << beside << "beside";
        QTest::newRow("catalogue beside an installed program") << true << true << "" << beside << "beside";
        QTest::newRow("installed program") << false << true << "" << users << "user's";
        QTest::newRow("portable copy without its catalogue") << false << false << "" << beside << "beside";
        QTest::newRow("named, beside the program too") << true << true << "absolute" << named << "named";
        QTest::newRow("named relative to the current folder") << false << true << "relative" << named << "named";
    }
    void catalogueIsFoundWhereItBelongs()
    {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, named);
        QFETCH(int, kind);
        QFETCH(QString, where);
        Installed program(installed);
        if (beside)
            schema::create(program.bin() + QStringLiteral("data.qmd"));
        const QString other = program.root() + QStringLiteral("书/旧藏书.qmd");
        QVERIFY(QDir().mkpath(program.root() + QStringLiteral("书")));
        QVERIFY(QDir::setCurrent(program.root()));
        QString given;
        if (named == QLatin1String("absolute"))
            given = other;
        else if (named == QLatin1String("relative"))
            given = QStringLiteral("书/旧藏书.qmd");
        const QStringList before = everythingUnder(program.root());

        const cataloguelocation::Choice choice = cataloguelocation::decide(given);
        QCOMPARE(int(choice.kind), kind);
        const QString expected = where == QLatin1String("beside")   ? program.bin() + QStringLiteral("data.qmd")
                                 : where == QLatin1String("user's") ? program.usersDataFile()
                                                                    : other;
        QCOMPARE(choice.dataFile, expected);
        // Deciding makes nothing, not even the user's data folder.
        QCOMPARE(everythingUnder(program.root()), before);
    }

    void installedProgramMakesTheUsersCatalogueOnItsFirstStart()
    {
        Installed program;
        const QString users = program.usersDataFile();
        const QString usersFolder = QFileInfo(users).absolutePath();
        QVERIFY(!QFileInfo::exists(usersFolder));

        std::unique_ptr<Catalogue> catalogue = app::openCatalogue(QString());
        QVERIFY(catalogue && catalogue->isLocked());
        QCOMPARE(catalogue->path(), users);
        QCOMPARE(programfolder::dataFile(), users);
        QCOMPARE(bytes(users), bytes(program.catalogueTemplate()));
        QVERIFY(QFile::permissions(users) & QFileDevice::WriteOwner);
        QCOMPARE(filesIn(usersFolder), (QStringList{QStringLiteral("data.qmd"), QStringLiteral("data.qmd.lock")}));
        QCOMPARE(filesIn(program.bin()), QStringList());
        // The user is told once where it is.
        QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
        QVERIFY2(shown[0].text.contains(QStringLiteral("“data.qmd”")) &&
                     shown[0].text.contains(QDir::toNativeSeparators(usersFolder)),
                 qPrintable(shown[0].text));

        // And the program goes on, on that catalogue: the windows read it,
        // the working folder is its folder, a backup copies it, the help is
        // the installed document, the restore program is handed it.
        fixture::exec(users, QStringLiteral("insert into book (book_name, book_loan) values ('围城', 1)"));
        {
            fixture::Windows windows;
            QVERIFY(msg::takeShown().isEmpty());
            QCOMPARE(form_main->listview_main->model()->rowCount(), 1);
            QCOMPARE(QDir::current().canonicalPath(), QDir(usersFolder).canonicalPath());

            QTemporaryDir elsewhere;
            const QString backup = elsewhere.filePath(QStringLiteral("备份.qmd"));
            filedialog::setNextFileName(backup);
            form_main->action("mfbeifen")->trigger();
            QCOMPARE(bytes(backup), bytes(users));
            QCOMPARE(QDir::current().canonicalPath(), QDir(usersFolder).canonicalPath());

            desktop::setScripted(true);
            form_main->action("mhhelp")->trigger();
            form_main->action("mhhomepage")->trigger();
            msg::setNextAnswer(true);
            form_main->action("mfdaoru")->trigger();
            const QList<desktop::Request> requests = desktop::takeRequests();
            QCOMPARE(requests.size(), 3);
            const QString help = QUrl::fromLocalFile(program.share() + QStringLiteral("qmp.html")).toString();
            QCOMPARE(requests[0].target, help);
            QCOMPARE(requests[1].target, help + QStringLiteral("#about"));
            QCOMPARE(int(requests[2].kind), int(desktop::Request::Kind::Start));
            QCOMPARE(requests[2].target, program.bin() + QStringLiteral("qmrestore"));
            QCOMPARE(requests[2].workingFolder, usersFolder + QLatin1Char('/'));
            QCOMPARE(requests[2].arguments, (QStringList{QStringLiteral("--data"), users}));
            QCOMPARE(msg::takeShown().size(), 1); // the restore command's question
        }

        // The next start takes it as it is, and says nothing.
        catalogue.reset();
        programfolder::useDataFile(QString());
        catalogue = app::openCatalogue(QString());
        QVERIFY(catalogue && catalogue->isLocked());
        QCOMPARE(catalogue->path(), users);
        QVERIFY(msg::takeShown().isEmpty());
        QCOMPARE(fixture::value(users, QStringLiteral("select book_name from book")), QStringLiteral("围城"));
    }

    void usersCatalogueThatCannotBeMade_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("data folder below a regular file") << "below a file";
        QTest::newRow("full disk") << "full";
        QTest::newRow("read-only disk") << "read-only";
    }
    void usersCatalogueThatCannotBeMade()
    {
        QFETCH(QString, trouble);
        Installed program;
        std::unique_ptr<fixture::Tmpfs> disk;
        if (trouble == QLatin1String("below a file")) {
            writeFile(program.root() + QStringLiteral("plain"), "not a folder");
            program.setUsersDataFolder(program.root() + QStringLiteral("plain/xdg"));
        } else {
            disk = std::make_unique<fixture::Tmpfs>();
            if (!disk->isMounted())
                QSKIP("A tmpfs cannot be mounted here.");
            QVERIFY(QDir().mkpath(disk->path() + QStringLiteral("Quillmere")));
            program.setUsersDataFolder(disk->path() + QStringLiteral("."));
            if (trouble == QLatin1String("full"))
                disk->fill();
            else
                QVERIFY(disk->makeReadOnly());
        }
        const QString users = program.usersDataFile();
        const QString usersFolder = QFileInfo(users).absolutePath();

        QString message;
        try {
            app::openCatalogue(QString());
        } catch (const UserError &e) {
            message = e.message();
        }
        QVERIFY2(message.contains(QStringLiteral("“data.qmd”")), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(usersFolder)), qPrintable(message));
        if (trouble != QLatin1String("below a file"))
            QVERIFY2(message.contains(trouble == QLatin1String("full") ? QStringLiteral("磁盘已满")
                                                                       : QStringLiteral("磁盘是只读的")),
                     qPrintable(message));
        // Nothing is left: no catalogue, no half of one, no lock.
        QCOMPARE(everythingUnder(usersFolder), QStringList());
        QVERIFY(msg::takeShown().isEmpty());
    }

    void namedCatalogueIsTheOneOpened()
    {
        // Another name than data.qmd: every dataset opens the named file,
        // and the catalogue beside the program is left alone.
        QTemporaryDir elsewhere;
        const QString named = makeCatalogue(elsewhere.filePath(QStringLiteral("旧藏书.qmd")), 0);
        fixture::exec(named, QStringLiteral("insert into book (book_name, book_loan) values ('围城', 1)"));
        const QByteArray beside = contents(folder->dataFile());

        std::unique_ptr<Catalogue> catalogue = app::openCatalogue(named);
        QVERIFY(catalogue && catalogue->isLocked());
        QVERIFY(QFileInfo::exists(named + QStringLiteral(".lock")));
        fixture::Windows windows;
        QCOMPARE(form_main->listview_main->model()->rowCount(), 1);
        QCOMPARE(form_main->listview_main->model()->cell(0, 0), QStringLiteral("围城"));
        QCOMPARE(QDir::current().canonicalPath(), QDir(elsewhere.path()).canonicalPath());
        QCOMPARE(contents(folder->dataFile()), beside);
        QVERIFY(msg::takeShown().isEmpty());
    }

    void namedCatalogueThatIsMissingIsNeverMade()
    {
        QTemporaryDir elsewhere;
        const QString named = elsewhere.filePath(QStringLiteral("missing.qmd"));
        QString message;
        try {
            app::openCatalogue(named);
        } catch (const UserError &e) {
            message = e.message();
        }
        // The message the windows give for a missing data file.
        QCOMPARE(message, missingDataFileMessage(named));
        QVERIFY2(message.contains(QStringLiteral("找不到数据文件“missing.qmd”")), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(elsewhere.path())), qPrintable(message));
        QCOMPARE(everythingUnder(elsewhere.path()), QStringList());
        QCOMPARE(programfolder::dataFile(), folder->dataFile());
    }

    // --- The command line ---------------------------------------------------

    void commandLineIsRead_data()
    {
        using Action = app::CommandLine::Action;
        QTest::addColumn<bool>("restoreProgram");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("text"); // a part of what is printed
        const int run = int(Action::Run), help = int(Action::Help), version = int(Action::Version),
                  invalid = int(Action::Invalid);
        const QString file = QStringLiteral("/书/旧藏书.qmd");
        QTest::newRow("nothing") << false << QStringList{} << run << ""
                                 << "";
        QTest::newRow("--data FILE") << false << QStringList{QStringLiteral("--data"), file} << run << file << "";
        QTest::newRow("--data=FILE") << false << QStringList{QStringLiteral("--data=") + file} << run << file << "";
        QTest::newRow("-data FILE") << false << QStringList{QStringLiteral("-data"), file} << run << file << "";
        QTest::newRow("--help") << false << QStringList{QStringLiteral("--help")} << help << ""
                                << "--data <文件>";
        QTest::newRow("-h") << false << QStringList{QStringLiteral("-h")} << help << ""
                            << "用法：quillmere";
        QTest::newRow("--version") << false << QStringList{QStringLiteral("--version")} << version << ""
                                   << "quillmere " + app::version();
        QTest::newRow("-v") << false << QStringList{QStringLiteral("-v")} << version << "" << app::title();
        QTest::newRow("help wins over the rest")
            << false << QStringList{QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--help")}
            << help << ""
            << "用法：quillmere";
        QTest::newRow("unknown option") << false << QStringList{QStringLiteral("--bogus")} << invalid << ""
                                        << "未知的选项“--bogus”";
        QTest::newRow("unknown short option") << false << QStringList{QStringLiteral("-x")} << invalid << ""
                                              << "未知的选项“-x”";
        QTest::newRow("file without --data") << false << QStringList{file} << invalid << ""
                                             << "请写 --data " + file;
        QTest::newRow("--data without a file") << false << QStringList{QStringLiteral("--data")} << invalid << ""
                                               << "缺少数据文件的名称";
        QTest::newRow("--data with an empty name")
            << false << QStringList{QStringLiteral("--data"), QString()} << invalid << ""
            << "缺少数据文件的名称";
        QTest::newRow("restore program: --data FILE")
            << true << QStringList{QStringLiteral("--data"), file} << run << file << "";
        QTest::newRow("restore program: --help") << true << QStringList{QStringLiteral("--help")} << help << ""
                                                 << "用法：qmrestore";
        QTest::newRow("restore program: --version") << true << QStringList{QStringLiteral("--version")} << version << ""
                                                    << "qmrestore " + app::version();
    }
    void commandLineIsRead()
    {
        QFETCH(bool, restoreProgram);
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, dataFile);
        QFETCH(QString, text);
        const QString name = restoreProgram ? QStringLiteral("qmrestore") : QStringLiteral("quillmere");
        const app::CommandLine line =
            app::parseCommandLine(QStringList{QStringLiteral("/usr/bin/") + name} + arguments,
                                  restoreProgram ? app::Program::Restore : app::Program::Quillmere);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.dataFile, dataFile);
        QVERIFY2(line.text.contains(text), qPrintable(line.text));
        QCOMPARE(line.text.isEmpty(), action == int(app::CommandLine::Action::Run));
        if (action == int(app::CommandLine::Action::Invalid))
            QVERIFY2(line.text.startsWith(name + QStringLiteral(": ")), qPrintable(line.text));
    }

    // The CSV commands: which one, its file, the catalogue named with them;
    // the restore program has none of them.
    void csvCommandsAreRead_data()
    {
        using Action = app::CommandLine::Action;
        QTest::addColumn<bool>("restoreProgram");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("csvFile");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("text"); // a part of the complaint
        const QString csv = QStringLiteral("/书/书单.csv"), data = QStringLiteral("/书/旧藏书.qmd");
        const int exportCsv = int(Action::ExportCsv), importCsv = int(Action::ImportCsv),
                  invalid = int(Action::Invalid);
        QTest::newRow("export") << false << QStringList{QStringLiteral("--export-csv"), csv} << exportCsv << csv << ""
                                << "";
        QTest::newRow("import with --data")
            << false << QStringList{QStringLiteral("--import-csv=") + csv, QStringLiteral("--data"), data} << importCsv
            << csv << data << "";
        QTest::newRow("export without a file") << false << QStringList{QStringLiteral("--export-csv")} << invalid << ""
                                               << ""
                                               << "“--export-csv”后面缺少CSV文件的名称";
        QTest::newRow("import with an empty name")
            << false << QStringList{QStringLiteral("--import-csv"), QString()} << invalid << ""
            << ""
            << "“--import-csv”后面缺少CSV文件的名称";
        QTest::newRow("both at once") << false
                                      << QStringList{QStringLiteral("--export-csv"), csv,
                                                     QStringLiteral("--import-csv"), csv}
                                      << invalid << ""
                                      << ""
                                      << "一次只能用一个";
        QTest::newRow("not for the restore program")
            << true << QStringList{QStringLiteral("--export-csv"), csv} << invalid << ""
            << ""
            << "未知的选项“--export-csv”";
        QTest::newRow("an import's choice without the import")
            << false
            << QStringList{QStringLiteral("--export-csv"), csv, QStringLiteral("--encoding"), QStringLiteral("gbk")}
            << invalid << ""
            << ""
            << "选项“--encoding”只能和“--import-csv”一起用";
        QTest::newRow("an order of dates not known")
            << false
            << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--date-order"), QStringLiteral("ydm")}
            << invalid << ""
            << ""
            << "“--date-order ydm”无法识别";
        QTest::newRow("a mapping without a field")
            << false
            << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--map"), QStringLiteral("Title")}
            << invalid << ""
            << ""
            << "应当写成“--map \"列名=字段\"”";
        QTest::newRow("duplicates neither skipped nor imported")
            << false
            << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--duplicates"), QStringLiteral("merge")}
            << invalid << ""
            << ""
            << "“--duplicates merge”无法识别";
        QTest::newRow("a delimiter not known")
            << false
            << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--delimiter"), QStringLiteral("colon")}
            << invalid << ""
            << ""
            << "“--delimiter colon”无法识别";
        QTest::newRow("--force-unlock with the import")
            << false << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--force-unlock")} << importCsv
            << csv << ""
            << "";
        QTest::newRow("--force-unlock with the export, which takes no lock")
            << false << QStringList{QStringLiteral("--export-csv"), csv, QStringLiteral("--force-unlock")} << invalid
            << ""
            << ""
            << "“--force-unlock”只能在启动程序或者导入时用";
        QTest::newRow("--force-unlock: not for the restore program")
            << true << QStringList{QStringLiteral("--force-unlock")} << invalid << ""
            << ""
            << "未知的选项“--force-unlock”";
        QTest::newRow("an encoding without its name")
            << false << QStringList{QStringLiteral("--import-csv"), csv, QStringLiteral("--encoding")} << invalid << ""
            << ""
            << "选项“--encoding”后面缺少它的值";
    }

    // The import window's choices, given on the command line.
    void importChoicesAreRead()
    {
        const app::CommandLine line = app::parseCommandLine(
            {QStringLiteral("quillmere"), QStringLiteral("--import-csv"), QStringLiteral("a.csv"),
             QStringLiteral("--map"), QStringLiteral("Autor = 作者"), QStringLiteral("--map=评分=不导入"),
             QStringLiteral("--encoding"), QStringLiteral("cp1252"), QStringLiteral("--delimiter"),
             QStringLiteral("tab"), QStringLiteral("--date-order"), QStringLiteral("DMY"),
             QStringLiteral("--duplicates"), QStringLiteral("import"), QStringLiteral("--dry-run")},
            app::Program::Quillmere);
        QCOMPARE(int(line.action), int(app::CommandLine::Action::ImportCsv));
        const ImportOptions &o = line.import;
        QCOMPARE(o.mapping.size(), size_t(2));
        QCOMPARE(o.mapping[0], (std::pair<QString, QString>{QStringLiteral("Autor"), QStringLiteral("作者")}));
        QCOMPARE(o.mapping[1], (std::pair<QString, QString>{QStringLiteral("评分"), QStringLiteral("不导入")}));
        QCOMPARE(o.encoding, QByteArray("cp1252"));
        QCOMPARE(o.separator, QChar(u'\t'));
        QCOMPARE(int(o.dateOrder), int(bookvalues::DateOrder::Dmy));
        QVERIFY(o.withDuplicates);
        QVERIFY(o.dryRun);

        const app::CommandLine plain = app::parseCommandLine(
            {QStringLiteral("quillmere"), QStringLiteral("--import-csv"), QStringLiteral("a.csv")},
            app::Program::Quillmere);
        QVERIFY(plain.import.mapping.empty() && plain.import.encoding.isEmpty() && plain.import.separator.isNull());
        QVERIFY(!plain.import.withDuplicates && !plain.import.dryRun);
        QCOMPARE(int(plain.import.dateOrder), int(bookvalues::DateOrder::Unknown));
    }
    void csvCommandsAreRead()
    {
        QFETCH(bool, restoreProgram);
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, csvFile);
        QFETCH(QString, dataFile);
        QFETCH(QString, text);
        const app::CommandLine line =
            app::parseCommandLine(QStringList{QStringLiteral("quillmere")} + arguments,
                                  restoreProgram ? app::Program::Restore : app::Program::Quillmere);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.csvFile, csvFile);
        QCOMPARE(line.dataFile, dataFile);
        QVERIFY2(line.text.contains(text), qPrintable(line.text));
        QCOMPARE(line.forceUnlock, action != int(app::CommandLine::Action::Invalid) &&
                                       arguments.contains(QStringLiteral("--force-unlock")));
    }

    // The help document's section on installing names every option that
    // --help lists, and where an installed program keeps the catalogue.
    void helpDocumentNamesEveryOption()
    {
        const QString html = QString::fromUtf8(bytes(QFINDTESTDATA("../../resources/qmp.html")));
        const qsizetype start = html.indexOf(QStringLiteral("<h2 id=\"install\">"));
        QVERIFY(start >= 0);
        const QString section = html.mid(start, html.indexOf(QStringLiteral("</section>"), start) - start);
        const QString help =
            app::parseCommandLine({QStringLiteral("quillmere"), QStringLiteral("--help")}, app::Program::Quillmere)
                .text;
        static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
        QStringList listed, missing;
        for (auto it = option.globalMatch(help); it.hasNext();) {
            const QString name = it.next().captured();
            if (listed.contains(name))
                continue;
            listed << name;
            if (!section.contains(name))
                missing << name;
        }
        QCOMPARE(listed.size(), 12);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
        QVERIFY(section.contains(QStringLiteral("~/.local/share/Quillmere/data.qmd")));
    }

    void secondStartOnTheSameCatalogueIsRefused()
    {
        const QByteArray before = contents(folder->dataFile());
        msg::setScripted(true);
        const auto unscript = qScopeGuard([] { msg::setScripted(false); });
        auto other = fixture::OtherProgram::holdingLock(folder->dataFile());
        CatalogueLock lock(folder->dataFile());
        QVERIFY(!app::takeCatalogue(lock));
        QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
        QVERIFY2(shown[0].text.contains(QStringLiteral("已在另一个Quillmere窗口中打开")), qPrintable(shown[0].text));
        QVERIFY2(shown[0].text.contains(QStringLiteral("“data.qmd”")), qPrintable(shown[0].text));
        QVERIFY(!lock.isLocked());

        // A Quillmere that was killed leaves its lock behind: it is stale,
        // and the next start takes it over.
        other->kill();
        QVERIFY(QFileInfo::exists(CatalogueLock::lockFileName(folder->dataFile())));
        QVERIFY(app::takeCatalogue(lock));
        QVERIFY(msg::takeShown().isEmpty());
        // Now this program holds it, and another one would be refused.
        QVERIFY(CatalogueLock::isHeldElsewhere(folder->dataFile()));
        lock.unlock();
        QVERIFY(!QFileInfo::exists(CatalogueLock::lockFileName(folder->dataFile())));
        QCOMPARE(contents(folder->dataFile()), before);
    }

    // A lock that no Quillmere running on this computer holds blocks no
    // start for ever: the user is told what it is and takes it over with a
    // yes (or --force-unlock); with a no nothing is touched.
    void foreignLockIsDescribedAndTakenOverOnYes_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<folder>" for a folder of the lock's name
        QTest::addColumn<int>("answer");         // 1 yes, 0 no, -1 --force-unlock (no question)
        QTest::addColumn<QString>("described");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray otherComputer = "4711\nquillmere\npc-书房\n";
        QTest::newRow("another computer's, yes")
            << otherComputer << 1 << "另一台计算机“pc-书房”上的进程 4711（quillmere）";
        QTest::newRow("another computer's, no") << otherComputer << 0 << "pc-书房";
        QTest::newRow("another computer's, --force-unlock") << otherComputer << -1 << "";
        QTest::newRow("a copied folder: this name, another computer")
            << QByteArray("4711\nquillmere\n" + host + "\n0123456789abcdef0123456789abcdef\n") << 1
            << "不是这台计算机上正在运行的程序";
        QTest::newRow("empty") << QByteArray() << 1 << "是空的";
        QTest::newRow("garbage") << QByteArray("\x01\x02\xff zz\n") << 1 << "内容无法识别";
        QTest::newRow("a folder") << QByteArray("<folder>") << 1 << "是一个文件夹";
    }
    void foreignLockIsDescribedAndTakenOverOnYes()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, answer);
        QFETCH(QString, described);
        const QString lockFile = CatalogueLock::lockFileName(folder->dataFile());
        if (content == "<folder>")
            QVERIFY(QDir().mkdir(lockFile));
        else
            filehelpers::writeFile(lockFile, content);
        const time_t monthAgo = std::time(nullptr) - 30 * 86400 - 3600;
        const struct timeval times[2] = {{monthAgo, 0}, {monthAgo, 0}};
        QCOMPARE(::utimes(QFile::encodeName(lockFile).constData(), times), 0);
        const QByteArray before = contents(folder->dataFile());
        msg::setScripted(true);
        const auto unscript = qScopeGuard([] { msg::setScripted(false); });
        if (answer >= 0)
            msg::setNextAnswer(answer == 1);

        CatalogueLock lock(folder->dataFile());
        QCOMPARE(int(lock.tryLock()), int(CatalogueLock::Outcome::Unattributed));
        QCOMPARE(app::takeCatalogue(lock, answer < 0), answer != 0);
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), answer < 0 ? 0 : 1);
        if (answer >= 0) {
            QCOMPARE(int(shown[0].kind), int(msg::Kind::Question));
            for (const QString &part : {described, QStringLiteral("30天前"), QStringLiteral("共享文件夹")})
                QVERIFY2(shown[0].text.contains(part), qPrintable(shown[0].text));
        }
        QCOMPARE(lock.isLocked(), answer != 0);
        if (answer == 0)
            QCOMPARE(QFileInfo(lockFile).isDir() ? QByteArray("<folder>") : contents(lockFile), content);
        else
            QVERIFY(contents(lockFile).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
        lock.unlock();
        QCOMPARE(contents(folder->dataFile()), before);
    }

    void twoRealProgramsOnOneCatalogue()
    {
        // The real program, in a program folder of its own.
        const QString program = folder->path() + QStringLiteral("quillmere");
        QVERIFY(QFile::copy(fixture::programFile(), program));
        fixture::exec(folder->dataFile(), QStringLiteral("insert into book (book_name, book_loan) values ('围城', 1)"));
        const QByteArray before = contents(folder->dataFile());
        QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
        offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const auto start = [&](QProcess &process) {
            process.setProcessEnvironment(offscreen);
            process.setWorkingDirectory(folder->path());
            process.start(program, {});
            QVERIFY(process.waitForStarted(10000));
        };

        QProcess first;
        start(first);
        // At its login it already holds the catalogue.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(CatalogueLock::lockFileName(folder->dataFile())), 20000);
        QProcess second;
        start(second);
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += second.readAllStandardError()).contains("已在另一个Quillmere窗口中打开"),
                                 20000);
        second.kill();
        second.waitForFinished();
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();
        QCOMPARE(contents(folder->dataFile()), before);
        QVERIFY(!QFileInfo::exists(folder->dataFile() + QStringLiteral("-journal")));
    }
};

QTEST_MAIN(AppTest)
#include "tst_app.moc"
