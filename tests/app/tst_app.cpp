// Start-up: the windows, the program folder, the login dialog.
#include "app/application.h"
#include "app/form_welcome.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/cataloguelock.h"
#include "store/programfolder.h"
#include "support/guitest.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

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
        return form_main->FormShow();
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
        QVERIFY(!form_main->FormShow());
        QVERIFY(!form_main->isVisible());
        QVERIFY(!QFileInfo::exists(folder->dataFile()));
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
