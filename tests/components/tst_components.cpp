// The book list component: its model and its sort state.
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "store/bookrow.h"
#include "store/textorder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

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

private Q_SLOTS:
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
