// The book list component, its model and its sort state; the summary box.
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/summaryedit.h"
#include "store/bookrow.h"
#include "store/textorder.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

#include <functional>

class ComponentsTest : public QObject
{
    Q_OBJECT

private:
    // A book with a title, a price and a loan code, liked and read.
    static bookrow::Fields row(const QString &title, const QString &price, const QString &loan = QStringLiteral("1"))
    {
        bookrow::Fields book;
        book.name = title;
        book.value = price;
        book.rating = QStringLiteral("1");
        book.loan = loan;
        book.readed = QStringLiteral("1");
        return book;
    }
    static QStringList titles(const BookListModel &model)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.cell(r, 0);
        return out;
    }

    // A summary with one line far too long to lay out at once, in letters
    // without a space, then a short line; a no-break space and a line
    // separator inside, which the box keeps as they are.
    static QString longSummary()
    {
        QString line;
        for (int i = 0; i < 9000; ++i)
            line += QChar(u'a' + i % 26);
        line[10] = QChar(0x00A0);
        line[20] = QChar(0x2028);
        return line + QStringLiteral("\n第二行");
    }
    // The place in the text where the box's first soft break stands.
    static int firstSoftBreak(const SummaryEdit &edit)
    {
        return edit.document()->firstBlock().length() - 1;
    }
    static void press(SummaryEdit &edit, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&edit, Qt::Key(key), modifiers);
    }
    static void putCursor(SummaryEdit &edit, int position, int anchor = -1)
    {
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(anchor < 0 ? position : anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
    }

private Q_SLOTS:
    void summaryBoxHoldsLongLinesInPiecesAndGivesThemBackWhole()
    {
        const QString given = longSummary();
        SummaryEdit edit;
        edit.setText(given);
        QCOMPARE(edit.text(), given);
        QVERIFY(!edit.textCursor().hasSelection() && edit.textCursor().position() == 0);
        QVERIFY(edit.document()->blockCount() > 5);
        for (QTextBlock b = edit.document()->firstBlock(); b.isValid(); b = b.next())
            QVERIFY(b.length() <= 4001);

        // Read from what the box holds, not from what it was given.
        edit.moveCursor(QTextCursor::End);
        edit.insertPlainText(QStringLiteral("。"));
        QCOMPARE(edit.text(), given + QStringLiteral("。"));

        edit.setPlainText(QStringLiteral("另一个"));
        QCOMPARE(edit.text(), QStringLiteral("另一个"));
    }

    void summaryBoxEditsAcrossASoftBreakAsInOneLine()
    {
        const QString given = longSummary();
        // Each case acts at the first soft break, which stands before the
        // text's character k and at the box's positions k (the end of the
        // first piece) and k + 1 (the start of the second), and gives the
        // text the user expects.
        struct Case
        {
            const char *name;
            std::function<void(SummaryEdit &, int p)> act;
            std::function<QString(QString, int k)> expected;
        };
        const Case cases[] = {
            {"backspace after it deletes the character before it",
             [](SummaryEdit &e, int p) { putCursor(e, p + 1), press(e, Qt::Key_Backspace); },
             [](QString t, int k) { return t.remove(k - 1, 1); }},
            {"delete before it deletes the character after it",
             [](SummaryEdit &e, int p) { putCursor(e, p), press(e, Qt::Key_Delete); },
             [](QString t, int k) { return t.remove(k, 1); }},
            {"right arrow steps over the next character",
             [](SummaryEdit &e, int p) { putCursor(e, p), press(e, Qt::Key_Right), QTest::keyClicks(&e, "X"); },
             [](QString t, int k) { return t.insert(k + 1, u'X'); }},
            {"left arrow steps over the character before",
             [](SummaryEdit &e, int p) { putCursor(e, p + 1), press(e, Qt::Key_Left), QTest::keyClicks(&e, "X"); },
             [](QString t, int k) { return t.insert(k - 1, u'X'); }},
            {"enter makes a line",
             [](SummaryEdit &e, int p) { putCursor(e, p + 1), press(e, Qt::Key_Return); },
             [](QString t, int k) { return t.insert(k, u'\n'); }},
            {"enter then backspace give the text back",
             [](SummaryEdit &e, int p) {
                 putCursor(e, p + 1), press(e, Qt::Key_Return), press(e, Qt::Key_Backspace);
             },
             [](QString t, int) { return t; }},
            {"a selection over it deleted, then undone",
             [](SummaryEdit &e, int p) { putCursor(e, p + 3, p - 2), press(e, Qt::Key_Delete), e.undo(); },
             [](QString t, int) { return t; }},
            {"backspace after it undone, and redone",
             [](SummaryEdit &e, int p) { putCursor(e, p + 1), press(e, Qt::Key_Backspace), e.undo(), e.redo(); },
             [](QString t, int k) { return t.remove(k - 1, 1); }},
            {"a pasted text with a line break",
             [](SummaryEdit &e, int p) {
                 QGuiApplication::clipboard()->setText(QStringLiteral("甲\r\n乙"));
                 putCursor(e, p + 1), e.paste();
             },
             [](QString t, int k) { return t.insert(k, QStringLiteral("甲\n乙")); }},
            {"a selection over it cut and pasted back",
             [](SummaryEdit &e, int p) {
                 putCursor(e, p + 3, p - 2), e.cut();
                 QCOMPARE(QGuiApplication::clipboard()->text().size(), 4);
                 e.paste();
             },
             [](QString t, int) { return t; }},
        };
        for (const Case &c : cases) {
            SummaryEdit edit;
            edit.setText(given);
            const int k = firstSoftBreak(edit);
            c.act(edit, k);
            QVERIFY2(edit.text() == c.expected(given, k), c.name);
        }
    }

    void modelChangesAreConsistent()
    {
        BookListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        {
            BookListModel::Fill fill(model);
            fill.add(row(QStringLiteral("乙"), QStringLiteral("9")));
            fill.add(row(QStringLiteral("甲"), QStringLiteral("100")));
            fill.add(row(QStringLiteral("残缺"), QString(), QStringLiteral("7"))); // a loan code out of range
        }
        QCOMPARE(resets.size(), 1); // one reset per fill
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.cellCount(2), bookrow::kColumnCount); // every cell in its column
        QCOMPARE(model.cell(2, bookrow::Loan), QStringLiteral("7"));
        QCOMPARE(model.cell(2, bookrow::Price), QString());
        QVERIFY(!model.index(2, 16).data().toString().size());

        model.appendRow(row(QStringLiteral("丙"), QStringLiteral("20"), QStringLiteral("2")));
        model.setRow(0, row(QStringLiteral("乙二"), QStringLiteral("9")));
        model.sortRows(bookrow::Price, true);
        // An empty cell sorts first when ascending.
        QCOMPARE(titles(model), (QStringList{"残缺", "甲", "丙", "乙二"}));
        model.removeBookRow(1);
        QCOMPARE(titles(model), (QStringList{"残缺", "丙", "乙二"}));
        QCOMPARE(model.index(1, 5).data(Qt::BackgroundRole).value<QColor>(), QColor(166, 202, 240));
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void sortIsStableAndKeepsTheSelection()
    {
        BookListView view;
        BookListModel &model = *view.model();
        {
            BookListModel::Fill fill(model);
            int number = 0;
            for (const char *title : {"b", "a", "b", "c", "b"}) {
                bookrow::Fields book = row(QString::fromLatin1(title), QStringLiteral("x"));
                book.id = QString::number(++number);
                fill.add(book);
            }
        }
        auto numbers = [&] {
            QStringList out;
            for (int r = 0; r < model.rowCount(); ++r)
                out << model.cell(r, bookrow::Number);
            return out.join(QLatin1Char(' '));
        };
        view.selectRow(3);                // "c", number 4
        view.columnClick(bookrow::Price); // all keys equal: the order stays
        QCOMPARE(numbers(), QStringLiteral("1 2 3 4 5"));
        view.columnClick(bookrow::Title); // descending; equal keys keep their order
        QCOMPARE(numbers(), QStringLiteral("4 1 3 5 2"));
        QCOMPARE(view.selectedRow(), 0);
        QCOMPARE(view.sortColumn(), int(bookrow::Title));
        QVERIFY(view.sortAscending(bookrow::Title));
        QVERIFY(!view.sortAscending(bookrow::Price + 1));
    }

    // Keys that agree in their first eight bytes, keys that are the start of
    // others, keys equal but for case: the list's order is the text order
    // of the whole titles, also when an earlier sort has left the rows in
    // another order than the one they were stored in.
    void longKeysSortByTheWholeText()
    {
        const QStringList stored{QStringLiteral("长江黄河长城泰山甲乙"),
                                 QStringLiteral("abcdefghi"),
                                 QStringLiteral("长江黄河长城泰山"),
                                 QString(),
                                 QStringLiteral("ABCDEFGH"),
                                 QStringLiteral("长江黄河长城"),
                                 QStringLiteral("abcdefgh"),
                                 QStringLiteral("长江黄河长城泰山一"),
                                 QStringLiteral("abcdefg"),
                                 QStringLiteral("长江")};
        BookListModel model;
        {
            BookListModel::Fill fill(model);
            for (qsizetype i = 0; i < stored.size(); ++i)
                fill.add(row(stored[i], QString::number((i * 7) % 10)));
        }
        model.sortRows(bookrow::Price, true); // the rows no longer in stored order
        for (const bool ascending : {true, false}) {
            QStringList expected = titles(model);
            std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
                return ascending ? textorder::compare(a, b) < 0 : textorder::compare(b, a) < 0;
            });
            model.sortRows(bookrow::Title, ascending);
            QCOMPARE(titles(model), expected);
        }
    }
};

QTEST_MAIN(ComponentsTest)
#include "tst_components.moc"
