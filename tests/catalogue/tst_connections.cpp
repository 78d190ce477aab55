#include "registry.h"

#include "components/booklistview.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "support/guitest.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// The program holds one connection to its data file: at the login prompt and
// after every command, whatever windows it opened and closed.
class OneConnectionTest : public fixture::GuiTest
{
    Q_OBJECT

    // How many of this process's open files are the data file.
    int descriptorsOnDataFile() const
    {
        const QString target = QFileInfo(dataFile()).canonicalFilePath();
        int count = 0;
        const QDir descriptors(QStringLiteral("/proc/self/fd"));
        for (const QFileInfo &entry : descriptors.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
            if (entry.symLinkTarget() == target)
                ++count;
        return count;
    }

private Q_SLOTS:
    void oneConnectionAtTheLoginAndAfterEveryCommand()
    {
        seed(QStringLiteral(
            "insert into category (cate_name) values ('小说');"
            "insert into author (author_name) values ('鲁迅');"
            "insert into book (book_name, book_cate, book_author, book_loan, book_reader, book_loand) "
            "values ('呐喊', '小说', '鲁迅', 3, '老王', '2020-01-02'), ('彷徨', '小说', '鲁迅', 1, '', NULL)"));
        // The windows made as at start, the login not yet answered.
        windows = std::make_unique<fixture::Windows>();
        QCOMPARE(descriptorsOnDataFile(), 1);
        fixture::showMainWindow();
        form_main->treeview_main->setCurrentItem(form_main->treeview_main->topLevelItem(0)->child(0));
        form_main->listview_main->selectRow(0);

        // Every command that opens a window, opened and closed again.
        const char *windowCommands[] = {"meaddbook", "meeditbook", "meaddcate",   "meeditcate", "mereader", "meauthor",
                                        "mepub",     "msnumber",   "msmoney",     "msjie",      "mtfind",   "mtpasswd",
                                        "msloans",   "mschart",    "mfsaveexcel", "mfsavehtml", "mhabout"};
        for (const char *command : windowCommands) {
            fixture::runDialog(form_main->action(command), [](QDialog *) {});
            QVERIFY2(descriptorsOnDataFile() == 1, command);
        }
        // The commands that read or write files.
        QTemporaryDir elsewhere;
        filedialog::setNextFileName(elsewhere.filePath(QStringLiteral("备份.qmd")));
        trigger("mfbeifen");
        QCOMPARE(descriptorsOnDataFile(), 1);
        filedialog::setNextFileName(elsewhere.filePath(QStringLiteral("书.csv")));
        trigger("mfsavecsv");
        QCOMPARE(descriptorsOnDataFile(), 1);
        QVERIFY(QFileInfo::exists(elsewhere.filePath(QStringLiteral("书.csv"))));
        filedialog::setNextFileName(elsewhere.filePath(QStringLiteral("书.csv")));
        fixture::runDialog(form_main->action("mfimportcsv"), [](QDialog *dialog) {
            QTest::mouseClick(fixture::child<QPushButton>(dialog, "button_import"), Qt::LeftButton);
        });
        QCOMPARE(descriptorsOnDataFile(), 1);
        form_main->listview_main->selectRow(0);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(descriptorsOnDataFile(), 1);
        msg::takeShown();
    }
};

QM_CATALOGUE_TEST(OneConnectionTest)

#include "tst_connections.moc"
