// The loan overview, the ISBN rule and the hint under the book windows' ISBN
// box, and the question before a book the catalogue already holds is added.
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "stats/form_loans.h"
#include "store/bookrow.h"
#include "store/isbn.h"
#include "support/guitest.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

class LoansTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    // Every loan state: lent out and borrowed in with dates, without one,
    // with one that cannot be read, with one to come; an own copy, an odd
    // code, no code. Counted to 2026-06-01.
    void seedLoans() const
    {
        seed(QStringLiteral(
            "insert into book (book_id, book_name, book_cate, book_loan, book_reader, book_loand, book_rating, "
            "book_readed) values "
            "(1, '甲', '小说', 3, '张三', '2026-01-01', 1, 1),"
            "(2, '乙', '历史', 3, '李四', '2026-03-01', 1, 1),"
            "(3, '丙', '小说', '3', '张三', NULL, 1, 1),"
            "(4, '丁', '文学', 2, '王五', '2026-02-15', 1, 1),"
            "(5, '戊', '文学', 2, '王五', '2026-12-31', 1, 1),"
            "(6, '己', '小说', 1, '张三', '2025-01-01', 1, 1),"
            "(7, '庚', '小说', 7, '张三', '2025-01-01', 1, 1),"
            "(8, '辛', '小说', NULL, '张三', '2025-01-01', 1, 1),"
            "(9, '壬', '小说', 3, '赵六', '去年春天', 1, 1)"));
        Tform_loans::setToday(QDate(2026, 6, 1));
    }

    // The rows of a list: "title days", the overdue ones marked with "!".
    static QStringList rows(QDialog *d, const char *list)
    {
        QStringList out;
        auto *view = fixture::child<QTreeWidget>(d, list);
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = view->topLevelItem(i);
            out << item->text(0) + QLatin1Char(' ') + item->text(3) +
                       (item->background(0).color() == QColor(255, 205, 205) ? QStringLiteral("!") : QString());
        }
        return out;
    }

    // The stored fields of a book but its loan code.
    QString allButLoan(int number) const
    {
        QStringList fields;
        for (const QString &name : query(QStringLiteral("select name from pragma_table_info('book')")))
            if (name != QLatin1String("book_loan"))
                fields << QStringLiteral("quote(%1)").arg(name);
        return query(QStringLiteral("select %1 from book where book_id = %2")
                         .arg(fields.join(QStringLiteral("||'|'||")))
                         .arg(number))
            .value(0);
    }

    // The records of a CSV file written by the program, without the
    // byte-order mark.
    static QStringList csvLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("<missing>")};
        const QByteArray bytes = file.readAll();
        if (!bytes.startsWith("\xEF\xBB\xBF"))
            return {QStringLiteral("<no byte-order mark>")};
        return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    static QString listedLoan(const QString &number)
    {
        BookListModel *model = form_main->listview_main->model();
        const int row = model->rowOfNumber(number);
        return row < 0 ? QStringLiteral("<none>") : model->cell(row, bookrow::Loan);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The warning limit goes to a settings file of the tests' own.
        QStandardPaths::setTestModeEnabled(true);
        QSettings().remove(QStringLiteral("loans"));
    }

    void overviewListsWhoHasWhichBook()
    {
        seedLoans();
        start();
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("借阅一览"));
            QCOMPARE(rows(d, "listview_lentout"), (QStringList{"甲 151!", "乙 92!", "丙 日期未知", "壬 日期未知"}));
            QCOMPARE(rows(d, "listview_borrowed"), (QStringList{"丁 106!", "戊 今天之后"}));
            QStringList summary;
            auto *readers = fixture::child<QListWidget>(d, "listview_readers");
            for (int i = 0; i < readers->count(); ++i)
                summary << readers->item(i)->text();
            QVERIFY(summary.contains(QStringLiteral("张三：2 本，最久 151 天")));
            QVERIFY(summary.contains(QStringLiteral("王五：2 本，最久 106 天")));
            QVERIFY(summary.contains(QStringLiteral("赵六：1 本，日期未知")));
            QCOMPARE(summary.size(), 4);

            // The filter, then the limit, which is kept for the next time.
            auto *filter = fixture::child<QComboBox>(d, "combo_reader");
            filter->setCurrentIndex(filter->findText(QStringLiteral("张三")));
            QCOMPARE(rows(d, "listview_lentout"), (QStringList{"甲 151!", "丙 日期未知"}));
            QCOMPARE(rows(d, "listview_borrowed"), QStringList());
            filter->setCurrentIndex(0);
            fixture::child<QSpinBox>(d, "spin_days")->setValue(100);
            QCOMPARE(rows(d, "listview_lentout"), (QStringList{"甲 151!", "乙 92", "丙 日期未知", "壬 日期未知"}));
            QCOMPARE(rows(d, "listview_borrowed"), (QStringList{"丁 106!", "戊 今天之后"}));
        });
        QCOMPARE(Tform_loans::warnDays(), 100);
        QSettings().remove(QStringLiteral("loans"));
        QCOMPARE(Tform_loans::warnDays(), 30);
    }

    // A lent book given back: one field written, the list's row follows. A
    // borrowed one given back: asked about; "否" leaves it, "是" deletes it
    // and its row goes.
    void returnedEndsTheLoan()
    {
        seedLoans();
        start();
        const QString before = allButLoan(1);
        QCOMPARE(listedLoan(QStringLiteral("1")), QStringLiteral("已借出"));
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            auto *returned = fixture::child<QPushButton>(d, "button_returned");
            QVERIFY(!returned->isEnabled());
            auto *lent = fixture::child<QTreeWidget>(d, "listview_lentout");
            lent->setCurrentItem(lent->topLevelItem(0)); // 甲
            QTest::mouseClick(returned, Qt::LeftButton);
            QCOMPARE(msg::takeShown().size(), 0);
            QCOMPARE(rows(d, "listview_lentout"), (QStringList{"乙 92!", "丙 日期未知", "壬 日期未知"}));

            auto *borrowed = fixture::child<QTreeWidget>(d, "listview_borrowed");
            for (const bool yes : {false, true}) {
                borrowed->setCurrentItem(borrowed->topLevelItem(0)); // 丁
                QVERIFY(lent->selectedItems().isEmpty());
                msg::setNextAnswer(yes);
                QTest::mouseClick(returned, Qt::LeftButton);
                const QList<msg::Shown> shown = msg::takeShown();
                QCOMPARE(shown.size(), 1);
                QVERIFY2(shown[0].text.contains(QStringLiteral("《丁》")), qPrintable(shown[0].text));
                QCOMPARE(query(QStringLiteral("select count(*) from book where book_id = 4")).value(0),
                         yes ? QStringLiteral("0") : QStringLiteral("1"));
            }
            QCOMPARE(rows(d, "listview_borrowed"), (QStringList{"戊 今天之后"}));
        });
        QCOMPARE(query(QStringLiteral("select book_loan from book where book_id = 1")).value(0), QStringLiteral("1"));
        QCOMPARE(allButLoan(1), before);
        QCOMPARE(listedLoan(QStringLiteral("1")), QStringLiteral("自己拥有"));
        QCOMPARE(listedLoan(QStringLiteral("4")), QStringLiteral("<none>"));
        QCOMPARE(query(QStringLiteral("select count(*) from book")).value(0), QStringLiteral("8"));
    }

    // A book another program deleted while the overview was open: "已归还"
    // says so once, in either list; its row leaves the book list and the
    // overview, and nothing else is written.
    void returnedOfABookDeletedMeanwhile_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("lentOut");
        QTest::addColumn<QStringList>("borrowedIn");
        QTest::newRow("lent") << "listview_lentout" << 1 << QStringList{"乙 92!", "丙 日期未知", "壬 日期未知"}
                              << QStringList{"丁 106!", "戊 今天之后"};
        QTest::newRow("borrowed") << "listview_borrowed" << 4
                                  << QStringList{"甲 151!", "乙 92!", "丙 日期未知", "壬 日期未知"}
                                  << QStringList{"戊 今天之后"};
    }
    void returnedOfABookDeletedMeanwhile()
    {
        QFETCH(QString, list);
        QFETCH(int, number);
        QFETCH(QStringList, lentOut);
        QFETCH(QStringList, borrowedIn);
        seedLoans();
        start();
        QVERIFY(listedLoan(QString::number(number)) != QStringLiteral("<none>"));
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            auto *view = fixture::child<QTreeWidget>(d, list.toLatin1().constData());
            view->setCurrentItem(view->topLevelItem(0));
            seed(QStringLiteral("delete from book where book_id = %1").arg(number));
            if (list == QLatin1String("listview_borrowed"))
                msg::setNextAnswer(true); // given back
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_returned"), Qt::LeftButton);
            QStringList texts;
            for (const msg::Shown &shown : msg::takeShown())
                if (shown.kind != msg::Kind::Question)
                    texts << shown.text;
            QCOMPARE(texts, QStringList{QStringLiteral("编号为 %1 的书籍已不在数据文件中。").arg(number)});
            QCOMPARE(rows(d, "listview_lentout"), lentOut);
            QCOMPARE(rows(d, "listview_borrowed"), borrowedIn);
        });
        QCOMPARE(listedLoan(QString::number(number)), QStringLiteral("<none>"));
        QCOMPARE(query(QStringLiteral("select count(*) from book")).value(0), QStringLiteral("8"));
    }

    // The lists as shown (lent out, then borrowed in, as filtered) go to a
    // CSV file in the export's own columns, the days as shown after them,
    // written whole; a file that cannot be written is named in the error and
    // nothing is left.
    void listsExportAsCsv()
    {
        seedLoans();
        seed(QStringLiteral("update book set book_isbn = '=HYPERLINK(1)', book_value = '-12.5' where book_id = 1"));
        start();
        const QString all = folder->path() + QStringLiteral("借阅.csv");
        const QString filtered = folder->path() + QStringLiteral("张三.csv");
        QFile blocker(folder->path() + QStringLiteral("文件"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString bad = blocker.fileName() + QStringLiteral("/借阅.csv");
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            auto *save = fixture::child<QPushButton>(d, "button_savecsv");
            filedialog::setNextFileName(all);
            QTest::mouseClick(save, Qt::LeftButton);
            const QList<msg::Shown> done = msg::takeShown();
            QCOMPARE(done.size(), 1);
            QCOMPARE(done[0].text, QStringLiteral("已把 6 本书写入“借阅.csv”。"));

            auto *filter = fixture::child<QComboBox>(d, "combo_reader");
            filter->setCurrentIndex(filter->findText(QStringLiteral("张三")));
            filedialog::setNextFileName(filtered);
            QTest::mouseClick(save, Qt::LeftButton);
            QCOMPARE(msg::takeShown().size(), 1);

            filedialog::setNextFileName(bad);
            QTest::mouseClick(save, Qt::LeftButton);
            const QList<msg::Shown> shown = msg::takeShown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].kind, msg::Kind::Error);
            QVERIFY2(shown[0].text.contains(QStringLiteral("借阅.csv")), qPrintable(shown[0].text));
            filedialog::setNextFileName(dataFile());
            QTest::mouseClick(save, Qt::LeftButton);
            const QList<msg::Shown> refused = msg::takeShown();
            QCOMPARE(refused.size(), 1);
            QVERIFY2(refused[0].text.contains(QStringLiteral("不能把CSV文件保存为正在使用的数据文件")),
                     qPrintable(refused[0].text));
        });
        QVERIFY(!QFileInfo::exists(bad));

        // Each record is the export's record of the book, then its days.
        const QString exported = folder->path() + QStringLiteral("全部.csv");
        filedialog::setNextFileName(exported);
        trigger("mfsavecsv");
        QMap<QString, QString> records;
        const QStringList exportLines = csvLines(exported);
        for (const QString &line : exportLines.mid(1))
            records.insert(line.section(QLatin1Char(','), 0, 0), line);
        const QStringList lines = csvLines(all);
        QCOMPARE(lines.value(0), exportLines.value(0) + QStringLiteral(",天数"));
        QCOMPARE(lines.mid(1), (QStringList{
                                   records.value("1") + ",151",
                                   records.value("2") + ",92",
                                   records.value("3") + ",日期未知",
                                   records.value("9") + ",日期未知",
                                   records.value("4") + ",106",
                                   records.value("5") + ",今天之后",
                               }));
        // As stored; texts a spreadsheet would run, guarded.
        QCOMPARE(lines.value(1), QStringLiteral("1,甲,小说,,,,'=HYPERLINK(1),,,,,,'-12.5,非常喜欢,已借出,已读,张三,"
                                                "2026-01-01,,151"));
        QCOMPARE(csvLines(filtered),
                 (QStringList{lines.value(0), records.value("1") + ",151", records.value("3") + ",日期未知"}));
    }

    // The file read back through the import: every listed book keeps who has
    // it and since when (borrowed books stay borrowed), and its category; the
    // days are left aside.
    void exportedListReadsBackAsTheSameLoans()
    {
        seedLoans();
        start();
        const QString path = folder->path() + QStringLiteral("借阅.csv");
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            filedialog::setNextFileName(path);
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_savecsv"), Qt::LeftButton);
        });
        msg::takeShown();
        const QString fields =
            QStringLiteral("select book_name || '|' || (book_loan + 0) || '|' || book_reader || '|' || "
                           "coalesce(book_loand, '-') || '|' || book_cate from book where book_id in "
                           "(1, 2, 3, 4, 5, 9) order by book_name");
        const QStringList before = query(fields);
        QCOMPARE(before.size(), 6);

        seed(QStringLiteral("delete from book"));
        bool opened = false;
        fixture::onNextModal([&](QDialog *dialog) {
            opened = dialog->objectName() == QLatin1String("form_csvimport");
            QTest::mouseClick(fixture::child<QPushButton>(dialog, "button_import"), Qt::LeftButton);
        });
        filedialog::setNextFileName(path);
        trigger("mfimportcsv");
        QVERIFY(opened);
        const QList<msg::Shown> summary = msg::takeShown();
        // Every listed book comes back, the one with a date that cannot be
        // read (壬, "去年春天") too: the file is the program's own export.
        QCOMPARE(summary.size(), 1);
        QVERIFY2(summary[0].text.startsWith(QStringLiteral("已从文件“借阅.csv”导入 6 本书。")),
                 qPrintable(summary[0].text));
        QVERIFY2(summary[0].text.contains(QStringLiteral("没有导入的列：编号、天数")), qPrintable(summary[0].text));
        QCOMPARE(query(QStringLiteral("select book_name || '|' || (book_loan + 0) || '|' || book_reader || '|' || "
                                      "coalesce(book_loand, '-') || '|' || book_cate from book order by book_name")),
                 before);
    }

    // Loan codes that are no known codes (none, 0, out of range, a
    // fraction, a text) are neither lent out nor borrowed in: the overview
    // leaves their books out, the book list shows their codes and readers.
    void unknownLoanCodesStayOutOfTheOverview()
    {
        seed(QStringLiteral("insert into book (book_id, book_name, book_loan, book_reader, book_loand) values"
                            " (1, '甲', 3, '张三', '2026-01-01'), (2, '乙', 0, '李四', '2026-01-01'),"
                            " (3, '丙', 'abc', '王五', '2026-01-01'), (4, '丁', 7, '赵六', NULL),"
                            " (5, '戊', NULL, '钱七', NULL), (6, '己', 2.5, '孙八', NULL)"));
        Tform_loans::setToday(QDate(2026, 6, 1));
        start();
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            QCOMPARE(rows(d, "listview_lentout"), QStringList{QStringLiteral("甲 151!")});
            QCOMPARE(rows(d, "listview_borrowed"), QStringList());
            auto *readers = fixture::child<QListWidget>(d, "listview_readers");
            QCOMPARE(readers->count(), 1);
            QCOMPARE(readers->item(0)->text(), QStringLiteral("张三：1 本，最久 151 天"));
        });
        QStringList listed;
        BookListModel *model = form_main->listview_main->model();
        for (const char *number : {"2", "3", "4", "5", "6"}) {
            const int row = model->rowOfNumber(QString::fromLatin1(number));
            listed << model->cell(row, bookrow::Loan) + QLatin1Char('|') + model->cell(row, bookrow::Counterpart);
        }
        QCOMPARE(listed, (QStringList{"0|李四", "abc|王五", "7|赵六", "|钱七", "2.5|孙八"}));
        QVERIFY(msg::takeShown().isEmpty());
    }

    // A double click opens the book's details window on that book.
    void doubleClickOpensTheBook()
    {
        seedLoans();
        start();
        fixture::runDialog(form_main->action("msloans"), [&](QDialog *d) {
            auto *lent = fixture::child<QTreeWidget>(d, "listview_lentout");
            QString opened;
            fixture::onNextModal([&](QDialog *details) {
                opened =
                    details->objectName() + QLatin1Char(' ') + fixture::child<QLineEdit>(details, "book_name")->text();
                details->reject();
            });
            Q_EMIT lent->itemDoubleClicked(lent->topLevelItem(1), 0); // 乙
            QCOMPARE(opened, QStringLiteral("form_modbook 乙"));
        });
        QCOMPARE(form_main->selectedBookNumber(), QStringLiteral("2"));
    }

    void numbersAreJudgedAndConverted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("as13"); // "" when it has none
        QTest::addColumn<QString>("as10"); // "" when it has none
        QTest::newRow("ISBN-10") << "7-02-002387-8" << true << "9787020023875"
                                 << "";
        QTest::newRow("ISBN-10 ending in X") << "080442957X" << true << "9780804429573"
                                             << "";
        QTest::newRow("ISBN-10, small x and blanks") << "0 8044 2957x" << true << "9780804429573"
                                                     << "";
        QTest::newRow("ISBN-10, wrong check digit") << "7020023874" << false << ""
                                                    << "";
        QTest::newRow("ISBN-13 of 978") << "978-7-02-002387-5" << true << ""
                                        << "7020023878";
        QTest::newRow("ISBN-13 of 978, X as its ISBN-10's check") << "9780804429573" << true << ""
                                                                  << "080442957X";
        QTest::newRow("ISBN-13 of 979: no ISBN-10") << "979-10-90636-07-1" << true << ""
                                                    << "";
        QTest::newRow("ISBN-13, wrong check digit") << "9787020023876" << false << ""
                                                    << "";
        QTest::newRow("too short") << "702002387" << false << ""
                                   << "";
        QTest::newRow("letters") << "ISBN7020023878" << false << ""
                                 << "";
        QTest::newRow("X inside") << "70200X3878" << false << ""
                                  << "";
    }
    void numbersAreJudgedAndConverted()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(QString, as13);
        QFETCH(QString, as10);
        QCOMPARE(isbn::isValid(typed), valid);
        QCOMPARE(isbn::toIsbn13(typed), as13);
        QCOMPARE(isbn::toIsbn10(typed), as10);
        // Both ways back: the ISBN-10 of the ISBN-13 is the number typed.
        if (!as13.isEmpty())
            QCOMPARE(isbn::toIsbn10(as13), isbn::compact(typed));
        if (!as10.isEmpty())
            QCOMPARE(isbn::toIsbn13(as10), isbn::compact(typed));
        // One key for both forms of a book.
        if (!as13.isEmpty())
            QCOMPARE(isbn::key(typed), as13);
    }

    // Leaving the box shows the hint; the box keeps what was typed until the
    // conversion is chosen; typing hides the hint.
    void hintUnderTheIsbnBox()
    {
        start();
        fixture::runDialog(form_main->action("meaddbook"), [](QDialog *d) {
            auto *box = fixture::child<QLineEdit>(d, "book_isbn");
            auto *hint = fixture::child<QLabel>(d, "label_isbnhint");
            QVERIFY(!hint->isVisible());
            box->setFocus();
            box->setText(QStringLiteral("7-02-002387-8"));
            fixture::child<QLineEdit>(d, "book_name")->setFocus(); // the box is left
            QTRY_VERIFY(hint->isVisible());
            QVERIFY2(hint->text().contains(QStringLiteral("有效的ISBN-10")), qPrintable(hint->text()));
            QCOMPARE(box->text(), QStringLiteral("7-02-002387-8"));
            Q_EMIT hint->linkActivated(QStringLiteral("13"));
            QCOMPARE(box->text(), QStringLiteral("9787020023875"));
            QVERIFY(hint->text().contains(QStringLiteral("转为ISBN-10")));

            box->setFocus();
            box->setText(QStringLiteral("9791090636071"));
            QVERIFY(!hint->isVisible()); // typing hides it
            Q_EMIT box->editingFinished();
            QVERIFY(hint->text().contains(QStringLiteral("979")));
            QVERIFY(!hint->text().contains(QStringLiteral("<a")));

            box->setText(QStringLiteral("9787020023876"));
            Q_EMIT box->editingFinished();
            QVERIFY2(hint->text().contains(QStringLiteral("校验位不对，应为5")), qPrintable(hint->text()));
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_close"), Qt::LeftButton);
        });
    }

    // Before 添加 writes, a stored book with the same ISBN (in either form)
    // or the same title and first author is named in a question; "否" writes
    // nothing and keeps the dialog as typed, "是" adds the book.
    void addingAStoredBookIsAsked_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("isbnTyped");
        QTest::addColumn<bool>("asked");
        QTest::newRow("ISBN-10 typed, ISBN-13 stored") << "另一个书名"
                                                       << ""
                                                       << "7-02-002387-8" << true;
        QTest::newRow("ISBN-13 typed, ISBN-10 stored") << "别的书"
                                                       << "谁"
                                                       << "978-0-8044-2957-3" << true;
        QTest::newRow("same title and author") << "围城"
                                               << "钱锺书"
                                               << "" << true;
        QTest::newRow("same title, other author") << "围城"
                                                  << "别人"
                                                  << "" << false;
        QTest::newRow("no ISBN typed, a book without one stored") << "别的"
                                                                  << "某人"
                                                                  << "" << false;
        QTest::newRow("no such book") << "新书"
                                      << "新作者"
                                      << "9791090636071" << false;
    }
    void addingAStoredBookIsAsked()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, isbnTyped);
        QFETCH(bool, asked);
        seed(QStringLiteral(
            "insert into book (book_name, book_author, book_isbn, book_rating, book_loan, book_readed) values "
            "('围城', '钱锺书', '978-7-02-002387-5', 1, 1, 1), ('旧书', NULL, '080442957x', 1, 1, 1), "
            "('无号', '某人', '', 1, 1, 1)"));
        start();
        const auto books = [&] { return query(QStringLiteral("select count(*) from book")).value(0); };
        for (const bool yes : {false, true}) {
            if (!asked && !yes)
                continue;
            msg::setNextAnswer(yes);
            fixture::runDialog(form_main->action("meaddbook"), [&](QDialog *d) {
                fixture::child<QLineEdit>(d, "book_name")->setText(title);
                fixture::child<QComboBox>(d, "book_author")->setEditText(author);
                fixture::child<QLineEdit>(d, "book_isbn")->setText(isbnTyped);
                QTest::mouseClick(fixture::child<QPushButton>(d, "button_add"), Qt::LeftButton);
                const QList<msg::Shown> shown = msg::takeShown();
                QVERIFY2(shown.size() == (asked ? 1 : 0), qPrintable(shown.isEmpty() ? QString() : shown[0].text));
                if (asked) {
                    QCOMPARE(shown[0].kind, msg::Kind::Question);
                    QVERIFY2(shown[0].text.contains(QStringLiteral("编号：")), qPrintable(shown[0].text));
                }
                QCOMPARE(d->isVisible(), asked && !yes);
                if (d->isVisible()) {
                    // Kept as typed, and nothing written.
                    QCOMPARE(fixture::child<QLineEdit>(d, "book_name")->text(), title);
                    QCOMPARE(books(), QStringLiteral("3"));
                    QTest::mouseClick(fixture::child<QPushButton>(d, "button_close"), Qt::LeftButton);
                }
            });
        }
        QCOMPARE(books(), QStringLiteral("4"));
    }
};

QTEST_MAIN(LoansTest)
#include "tst_loans.moc"
