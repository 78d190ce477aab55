// The export dialogs and their grid, driven from the main window's commands.
#include "tst_export.h"

#include "components/exportgrid.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"
#include "main/form_main.h"
#include "store/datetext.h"
#include "store/programfolder.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

void ExportTest::seedThreeBooks()
{
    seed(QStringLiteral("insert into book (book_id) values (1)"));
    seed(QStringLiteral("insert into book values (2, '红楼梦', '小说', '曹雪芹', '高鹗', '中文', '978-7-02-000220-7', "
                        "'人民文学出版社', '1982-03-01', 1606, '北京', '2020-01-05', '59.70', 1, 1, 1, null, null, "
                        "'宝黛')"));
    seed(QStringLiteral("insert into book values (3, 'C++ <B> & Co', '计算机', 'Bjarne', '', '英文', '9780321563842', "
                        "'Addison-Wesley', '2013-05-19', 1368, 'Online', '2014-02-28', '89', 2, 3, 2, '张三', "
                        "'2023-11-30', 'notes')"));
}

void ExportTest::start()
{
    windows = std::make_unique<fixture::Windows>();
}

ExportGrid *ExportTest::gridOf(QDialog *dialog)
{
    return dialog->findChild<ExportGrid *>();
}

void ExportTest::click(QDialog *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

void ExportTest::inDialog(const char *command, const std::function<void(QDialog *)> &steps)
{
    bool ran = false;
    fixture::onNextModal([&](QDialog *dialog) {
        ran = true;
        steps(dialog);
        if (dialog->isVisible())
            click(dialog, "button_close");
    });
    form_main->action(command)->trigger();
    QVERIFY(ran);
}

void ExportTest::fixComputedWidths(ExportGrid *grid)
{
    grid->horizontalHeader()->resizeSection(0, 40);
    grid->horizontalHeader()->resizeSection(5, 60);
}

void ExportTest::saveThrough(const char *command, const QString &path, const std::function<void(ExportGrid *)> &prepare)
{
    inDialog(command, [&](QDialog *dialog) {
        fixComputedWidths(gridOf(dialog));
        if (prepare)
            prepare(gridOf(dialog));
        filedialog::setNextFileName(path);
        click(dialog, "button_ok");
    });
}

QByteArray ExportTest::readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QStringList ExportTest::filesIn(const QString &path)
{
    return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray ExportTest::python(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("python: %s", process.readAllStandardError().constData());
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

void ExportTest::initTestCase()
{
    // Dates in the Chinese short format, with the year in four digits.
    datetext::setLocale(QLocale(QLocale::Chinese, QLocale::China));
    QCOMPARE(datetext::shortFormat(), QStringLiteral("yyyy/M/d"));
    m_savedPalette = QApplication::palette();
}

void ExportTest::init()
{
    QPalette colors = m_savedPalette;
    colors.setColor(QPalette::Base, QColor::fromRgb(kBase));
    colors.setColor(QPalette::Text, QColor::fromRgb(kText));
    colors.setColor(QPalette::Button, QColor::fromRgb(kButton));
    colors.setColor(QPalette::Midlight, QColor::fromRgb(kMidlight));
    colors.setColor(QPalette::Shadow, QColor::fromRgb(kShadow));
    QApplication::setPalette(colors);
    setUpCase();
}

void ExportTest::cleanup()
{
    tearDownCase();
    QApplication::setPalette(m_savedPalette);
}

void ExportTest::commandsOpenTheirDialogs_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QByteArray>("fileStart");
    QTest::newRow("excel") << QByteArray("mfsaveexcel") << QStringLiteral("form_saveexcel")
                           << QStringLiteral("另存为EXCEL文档") << QStringLiteral("gird_excel") << QStringLiteral("xls")
                           << QStringLiteral("微软 Excel 工作表 (*.xls)") << QStringLiteral("qmp2xls.xls")
                           << QByteArray::fromHex("09040600000010000000");
    QTest::newRow("html") << QByteArray("mfsavehtml") << QStringLiteral("form_savehtml")
                          << QStringLiteral("存为HTML文件") << QStringLiteral("gird_html") << QStringLiteral("html")
                          << QStringLiteral("HTML 文件 (*.html)") << QStringLiteral("qmp2html.html")
                          << QByteArray("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML>\r\n");
}

void ExportTest::commandsOpenTheirDialogs()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, grid);
    QFETCH(QString, suffix);
    QFETCH(QString, filter);
    QFETCH(QString, proposed);
    QFETCH(QByteArray, fileStart);
    seedThreeBooks();
    start();
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(proposed);
    bool closed = false;
    fixture::onNextModal([&](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), window);
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->size(), QSize(627, 424));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        ExportGrid *g = gridOf(dialog);
        QCOMPARE(g->objectName(), grid);
        QCOMPARE(g->geometry(), QRect(0, 0, 627, 369));
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("button_ok"));
        auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("button_close"));
        QCOMPARE(ok->text(), QStringLiteral("保存"));
        QCOMPARE(ok->geometry(), QRect(216, 384, 75, 25));
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        QCOMPARE(cancel->geometry(), QRect(312, 384, 75, 25));
        QVERIFY(!ok->icon().isNull() && !cancel->icon().isNull());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(ok));
        QCOMPARE(g->model()->rowCount(), 3);

        // The save box may leave another folder current; the dialog enters
        // the program folder again.
        filedialog::setNextFileName(target);
        QDir::setCurrent(elsewhere.path());
        click(dialog, "button_ok");
        QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
        QVERIFY(dialog->isVisible());
        const QList<filedialog::Options> asked = filedialog::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].defaultSuffix, suffix);
        QCOMPARE(asked[0].filter, filter);
        QCOMPARE(asked[0].proposedName, proposed);

        QDir::setCurrent(elsewhere.path());
        click(dialog, "button_close");
        closed = !dialog->isVisible();
        QVERIFY(!g->isActive());
        QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
    });
    form_main->action(command.constData())->trigger();
    QVERIFY(closed);
    QVERIFY(readAll(target).startsWith(fileStart));
    QVERIFY(msg::takeShown().isEmpty());
}

void ExportTest::gridShowsTheBookTable()
{
    seedThreeBooks();
    start();
    inDialog("mfsaveexcel", [&](QDialog *dialog) {
        ExportGrid *grid = gridOf(dialog);
        QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QHeaderView *header = grid->horizontalHeader();
        const QStringList captions{
            QStringLiteral("编号"),     QStringLiteral("名称"),           QStringLiteral("第一作者"),
            QStringLiteral("第二作者"), QStringLiteral("分类"),           QStringLiteral("语言"),
            QStringLiteral("页数"),     QStringLiteral("ISBN"),           QStringLiteral("出版社"),
            QStringLiteral("出版日期"), QStringLiteral("价格"),           QStringLiteral("购买日期"),
            QStringLiteral("购买地点"), QStringLiteral("借入借出关系人"), QStringLiteral("借入借出日期")};
        const int widths[] = {0, 109, 82, 92, 84, 0, 50, 122, 152, 112, 88, 112, 119, 109, 112};
        QCOMPARE(grid->model()->columnCount(), 15);
        const QFontMetrics metrics(grid->font());
        for (int c = 0; c < 15; ++c) {
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), captions[c]);
            QCOMPARE(header->visualIndex(c), c);
            if (widths[c] > 0)
                QCOMPARE(header->sectionSize(c), widths[c]);
            else // wide enough for its caption and for ten digits
                QVERIFY(header->sectionSize(c) >= std::max(metrics.horizontalAdvance(captions[c]) + 6,
                                                           metrics.horizontalAdvance(QStringLiteral("0000000000"))));
        }
        QCOMPARE(grid->columnName(0), QStringLiteral("gird_excelbook_id"));
        QCOMPARE(grid->model()->objectName(), QStringLiteral("datasource_excel"));
        QVERIFY(header->sectionsMovable());
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::Interactive);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

        // Texts as the grid shows them; numbers on the right.
        auto text = [&](int row, int column) { return grid->model()->index(row, column).data().toString(); };
        QCOMPARE(text(0, 0), QStringLiteral("1"));
        QCOMPARE(text(0, 1), QString());
        QCOMPARE(text(1, 1), QStringLiteral("红楼梦"));
        QCOMPARE(text(1, 6), QStringLiteral("1606"));
        QCOMPARE(text(1, 9), QStringLiteral("1982/3/1"));
        QCOMPARE(text(2, 1), QStringLiteral("C++ <B> & Co"));
        QCOMPARE(text(2, 13), QStringLiteral("张三"));
        QCOMPARE(text(2, 14), QStringLiteral("2023/11/30"));
        const auto alignment = [&](int column) {
            return grid->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(0), Qt::AlignRight);
        QCOMPARE(alignment(6), Qt::AlignRight);
        QCOMPARE(alignment(1), Qt::AlignLeft);
        QCOMPARE(alignment(9), Qt::AlignLeft);
    });
}

void ExportTest::snapshotLastsUntilCancel()
{
    seedThreeBooks();
    start();
    auto rowsShown = [&] {
        int rows = -1;
        fixture::onNextModal([&](QDialog *dialog) {
            rows = gridOf(dialog)->model()->rowCount();
            dialog->close(); // the title bar's close box: the table stays open
        });
        form_main->action("mfsavehtml")->trigger();
        return rows;
    };
    QCOMPARE(rowsShown(), 3);
    seed(QStringLiteral("insert into book (book_name) values ('新书')"));
    QCOMPARE(rowsShown(), 3);
    inDialog("mfsavehtml", [](QDialog *dialog) { click(dialog, "button_close"); });
    QCOMPARE(rowsShown(), 4);
    QVERIFY(msg::takeShown().isEmpty());
}

void ExportTest::cancelledSaveBoxWritesNothing_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("excel") << QByteArray("mfsaveexcel");
    QTest::newRow("html") << QByteArray("mfsavehtml");
}

void ExportTest::cancelledSaveBoxWritesNothing()
{
    QFETCH(QByteArray, command);
    seedThreeBooks();
    start();
    const QStringList before = filesIn(folder->path());
    QTemporaryDir elsewhere;
    inDialog(command.constData(), [&](QDialog *dialog) {
        QDir::setCurrent(elsewhere.path());
        click(dialog, "button_ok"); // no name queued: the box is cancelled
        QCOMPARE(filedialog::takeAsked().size(), 1);
        QVERIFY(dialog->isVisible());
    });
    QCOMPARE(filesIn(folder->path()), before);
    QVERIFY(filesIn(elsewhere.path()).isEmpty());
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
    QVERIFY(msg::takeShown().isEmpty());
}

void ExportTest::fileThatCannotBeCreated_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("readOnlyDisk"); // where: on a read-only disk, not in a temporary folder
    for (const char *command : {"mfsaveexcel", "mfsavehtml"}) {
        QTest::addRow("%s, missing folder", command) << QByteArray(command) << QStringLiteral("missing/out.x") << false;
        QTest::addRow("%s, inside a file", command)
            << QByteArray(command) << QStringLiteral("plain.txt/out.x") << false;
        QTest::addRow("%s, read-only disk", command) << QByteArray(command) << QStringLiteral("out.x") << true;
    }
}

void ExportTest::fileThatCannotBeCreated()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, where);
    QFETCH(bool, readOnlyDisk);
    // A read-only disk refuses the superuser too, where a folder's
    // permissions would not.
    std::optional<fixture::Tmpfs> disk;
    if (readOnlyDisk) {
        disk.emplace();
        if (!disk->isMounted())
            QSKIP("no small disk can be mounted here");
        QVERIFY(disk->makeReadOnly());
    }
    seedThreeBooks();
    start();
    QTemporaryDir base;
    QFile plain(base.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("keep") == 4);
    plain.close();
    const QString target = (disk ? disk->path() : base.path() + QLatin1Char('/')) + where;

    inDialog(command.constData(), [&](QDialog *dialog) {
        filedialog::setNextFileName(target);
        click(dialog, "button_ok");
        QVERIFY(dialog->isVisible());
    });
    const QList<msg::Shown> shown = msg::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, msg::Kind::Error);
    QCOMPARE(shown[0].text, QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(target));
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(readAll(base.filePath(QStringLiteral("plain.txt"))), QByteArray("keep"));
    if (disk)
        QVERIFY(filesIn(disk->path()).isEmpty());
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
}

void ExportTest::unreadTableWritesNothing_data()
{
    commandsOpenTheirDialogs_data();
}

void ExportTest::unreadTableWritesNothing()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, fileStart);
    seedThreeBooks();
    start();
    QTemporaryDir base;
    const QString target = base.filePath(QStringLiteral("old.out"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the earlier export") == 18);
    old.close();
    const QString away = folder->dataFile() + QStringLiteral(".away");
    QVERIFY(QFile::rename(folder->dataFile(), away));

    inDialog(command.constData(), [&](QDialog *dialog) {
        // The first showing cannot read the books: its error, an empty grid.
        const QList<msg::Shown> atShowing = msg::takeShown();
        QCOMPARE(atShowing.size(), 1);
        QCOMPARE(atShowing[0].kind, msg::Kind::Error);
        QVERIFY2(atShowing[0].text.contains(QStringLiteral("data.qmd")), qPrintable(atShowing[0].text));
        QVERIFY(!gridOf(dialog)->isActive());

        // "保存" reads them again, fails the same way and writes nothing,
        // without asking for a file.
        filedialog::setNextFileName(target);
        click(dialog, "button_ok");
        const QList<msg::Shown> atSave = msg::takeShown();
        QCOMPARE(atSave.size(), 1);
        QCOMPARE(atSave[0].kind, msg::Kind::Error);
        QCOMPARE(atSave[0].text, atShowing[0].text);
        QVERIFY(filedialog::takeAsked().isEmpty());
        QCOMPARE(readAll(target), QByteArray("the earlier export"));
        QCOMPARE(filesIn(base.path()), QStringList{QStringLiteral("old.out")});
        QVERIFY(dialog->isVisible());

        // With the file back the same click reads the books and saves them
        // (the box takes the name queued above, which it was never asked for).
        QVERIFY(QFile::rename(away, folder->dataFile()));
        click(dialog, "button_ok");
        QVERIFY(msg::takeShown().isEmpty());
        QCOMPARE(filedialog::takeAsked().size(), 1);
        QCOMPARE(gridOf(dialog)->model()->rowCount(), 3);
        QVERIFY(dialog->isVisible());
    });
    const QByteArray saved = readAll(target);
    QVERIFY(saved.startsWith(fileStart));
    QVERIFY(saved.contains(gb::bytes("baecc2a5c3ce"))); // 红楼梦
    QCOMPARE(filesIn(base.path()), QStringList{QStringLiteral("old.out")});
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
}

namespace {

// Files of this process may grow to only a few bytes while it lives: writing
// more fails as a full disk does.
class SmallFiles
{
public:
    explicit SmallFiles(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~SmallFiles()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    bool m_set = false;
};

} // namespace

void ExportTest::failedWriteKeepsTheOldFile_data()
{
    cancelledSaveBoxWritesNothing_data();
}

void ExportTest::failedWriteKeepsTheOldFile()
{
    QFETCH(QByteArray, command);
    seedThreeBooks();
    start();
    QTemporaryDir base;
    const QString target = base.filePath(QStringLiteral("old.out"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the earlier export") == 18);
    old.close();

    inDialog(command.constData(), [&](QDialog *dialog) {
        const SmallFiles limit(1024);
        QVERIFY(limit.isSet());
        filedialog::setNextFileName(target);
        click(dialog, "button_ok");
    });
    const QList<msg::Shown> shown = msg::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, msg::Kind::Error);
    QCOMPARE(shown[0].text, QStringLiteral("Stream write error"));
    QCOMPARE(readAll(target), QByteArray("the earlier export"));
    QCOMPARE(filesIn(base.path()), QStringList{QStringLiteral("old.out")});
    QCOMPARE(QDir::currentPath() + QLatin1Char('/'), programfolder::path());
}

void ExportTest::savingTwiceGivesTheSameFile_data()
{
    cancelledSaveBoxWritesNothing_data();
}

void ExportTest::savingTwiceGivesTheSameFile()
{
    QFETCH(QByteArray, command);
    seedThreeBooks();
    start();
    QTemporaryDir base;
    const QString first = base.filePath(QStringLiteral("first"));
    const QString second = base.filePath(QStringLiteral("second"));
    inDialog(command.constData(), [&](QDialog *dialog) {
        gridOf(dialog)->selectRow(1);
        filedialog::setNextFileName(first);
        click(dialog, "button_ok");
        filedialog::setNextFileName(second);
        click(dialog, "button_ok");
        QCOMPARE(gridOf(dialog)->currentIndex().row(), 1);
    });
    QVERIFY(readAll(first).size() > 1000);
    QCOMPARE(readAll(second), readAll(first));
    QVERIFY(msg::takeShown().isEmpty());
}

void ExportTest::worksheetRefusesTooManyBooks()
{
    seed(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 65536) "
                        "insert into book (book_name) select 'b' || i from n"));
    start();
    QTemporaryDir base;
    inDialog("mfsaveexcel", [&](QDialog *dialog) {
        QCOMPARE(gridOf(dialog)->model()->rowCount(), 65536);
        click(dialog, "button_ok");
        QVERIFY(filedialog::takeAsked().isEmpty()); // refused before the save box
    });
    const QList<msg::Shown> shown = msg::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].text.contains(QLatin1String("65535")) && shown[0].text.contains(QLatin1String("65536")) &&
                 shown[0].text.contains(QLatin1String("HTML")),
             qPrintable(shown[0].text));
    QVERIFY(filesIn(base.path()).isEmpty());

    // The page has no such limit.
    const QString page = base.filePath(QStringLiteral("all.html"));
    saveThrough("mfsavehtml", page);
    QVERIFY(msg::takeShown().isEmpty());
    QCOMPARE(readAll(page).count("\r\n<TR><TD NOWRAP ALIGN="), 65536);
}

QTEST_MAIN(ExportTest)
