// The chart window: opened on an empty catalogue, on one book and on many,
// every label readable at the window's size, and the picture it saves.
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "support/guitest.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QGraphicsTextItem>
#include <QHelpEvent>
#include <QImage>
#include <QLegend>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest>

class ChartsTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    static QStringList titles(QDialog *d)
    {
        QStringList out;
        for (const char *name : {"chart_cate", "chart_loan", "chart_read", "chart_buy", "chart_rating"})
            out << fixture::child<QChartView>(d, name)->chart()->title();
        return out;
    }

    // The texts the view shows, where it shows them.
    static QList<std::pair<QString, QRectF>> shownTexts(QChartView *view)
    {
        QList<std::pair<QString, QRectF>> out;
        for (QGraphicsItem *item : view->scene()->items()) {
            const auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (text && text->isVisible() && !text->toPlainText().isEmpty())
                out.append({text->toPlainText(), view->mapFromScene(text->sceneBoundingRect()).boundingRect()});
        }
        return out;
    }

    // Each label is shown whole, inside the view, clear of the others, and
    // fits the share of the axis (or the legend) it gets.
    static void checkShown(QChartView *view, const QStringList &labels, qreal share, bool acrossAxis)
    {
        const auto texts = shownTexts(view);
        QList<QRectF> placed;
        for (const QString &label : labels) {
            const QFontMetricsF metrics(view->chart()->axes().isEmpty() ? view->chart()->legend()->font()
                                                                        : view->chart()->axes().first()->labelsFont());
            const qreal needs = acrossAxis ? metrics.horizontalAdvance(label) : metrics.height();
            QVERIFY2(needs <= share, qPrintable(QStringLiteral("%1 needs %2 of %3").arg(label).arg(needs).arg(share)));
            const auto found =
                std::find_if(texts.begin(), texts.end(), [&](const auto &t) { return t.first == label; });
            QVERIFY2(found != texts.end(), qPrintable(label + QStringLiteral(" has no label")));
            QVERIFY2(QRectF(view->rect()).contains(found->second), qPrintable(label + QStringLiteral(" is cut")));
            for (const QRectF &other : placed)
                QVERIFY2(!other.intersects(found->second.adjusted(1, 1, -1, -1)),
                         qPrintable(label + QStringLiteral(" overlaps its neighbour")));
            placed << found->second;
        }
    }

    // Counts on a value axis from 0, every tick a different whole number.
    static void checkWholeTicks(const QChart *chart)
    {
        for (const QAbstractAxis *axis : chart->axes()) {
            if (const auto *values = qobject_cast<const QValueAxis *>(axis)) {
                QCOMPARE(values->min(), 0.0);
                const qreal step = values->max() / (values->tickCount() - 1);
                QVERIFY2(step >= 1 && step == std::floor(step), qPrintable(QString::number(step)));
            }
        }
    }

    // The tooltip of the tallest purchase bar: its label and what it holds
    // in all, then the years (or narrower spans) in it, each with its
    // figures; `yearLines` has every year's figures.
    static void checkTallestTip(QChartView *view, const QStringList &categories, const QStringList &yearLines)
    {
        QChart *chart = view->chart();
        auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
        const QBarSet *set = series->barSets().value(0);
        int tallest = 0;
        for (int i = 1; i < set->count(); ++i)
            tallest = set->at(i) > set->at(tallest) ? i : tallest;
        const QPointF middle = chart->mapToPosition(QPointF(tallest, set->at(tallest) / 2), series);
        // The mouse over the bar, as the window system reports it.
        const QPointF at = view->mapFromScene(chart->mapToScene(middle));
        QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        // The mouse rests there: the tooltip stays.
        QHelpEvent rest(QEvent::ToolTip, at.toPoint(), view->viewport()->mapToGlobal(at).toPoint());
        QApplication::sendEvent(view->viewport(), &rest);
        QTest::qWait(500);
        const QStringList lines = QToolTip::text().split(QLatin1Char('\n'));
        const QString label = categories.value(tallest);
        QVERIFY2(lines.first().startsWith(label + QStringLiteral("：")), qPrintable(QToolTip::text()));
        if (lines.size() == 1) {
            QVERIFY2(yearLines.contains(lines.first()), qPrintable(lines.first()));
            return;
        }
        const auto booksOf = [](const QString &line) {
            return line.section(QStringLiteral("："), 1)
                .remove(QStringLiteral("共 "))
                .section(QStringLiteral(" 本"), 0, 0)
                .toLongLong();
        };
        qint64 inside = 0;
        for (const QString &line : lines.mid(1))
            inside += booksOf(line);
        QCOMPARE(inside, booksOf(lines.first()));
        if (label.endsWith(QStringLiteral("年代")))
            QCOMPARE(lines.mid(1), yearLines.filter(QRegularExpression(QStringLiteral("^") + label.left(3) +
                                                                       QStringLiteral("\\d："))));
    }

    // `books` books over `years` purchase years up to 2025 (every 50th with
    // no date), thirty categories and one of a long name, every code.
    void seedBooks(int books, int years) const
    {
        seed(QStringLiteral(
                 "insert into category (cate_name) values ('一个名字非常非常长的分类，在图表左边放不下');"
                 "with recursive n(i) as (select 1 union all select i + 1 from n where i < 30)"
                 " insert into category (cate_name) select '分类' || i from n;"
                 "with recursive n(i) as (select 1 where %1 > 0 union all select i + 1 from n where i < %1)"
                 " insert into book (book_name, book_cate, book_loan, book_readed, book_rating, book_buyd,"
                 " book_value) select 'b' || i,"
                 " case when i % 7 = 0 then '一个名字非常非常长的分类，在图表左边放不下' else '分类' || (i % 30) end,"
                 " i % 5, i % 3, i % 7,"
                 " case when i % 50 = 0 then null else printf('%04d-06-01', 2025 - (i * 7919) % %2) end,"
                 " (i % 90) || '.00' from n")
                 .arg(books)
                 .arg(years));
    }

private Q_SLOTS:
    // At the window's first size every bar has a label that can be read, or
    // belongs to a labelled group of years; pie labels stay in the window;
    // an empty catalogue is one sentence and no axes.
    void labelsReadable_data()
    {
        QTest::addColumn<int>("books");
        QTest::addColumn<int>("years");
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("one book") << 1 << 1;
        QTest::newRow("3,000 books over 76 years") << 3000 << 76;
        QTest::newRow("100,000 books over 1,026 years") << 100000 << 1026;
    }

    void labelsReadable()
    {
        QFETCH(int, books);
        QFETCH(int, years);
        seedBooks(books, years);
        const double money = query(QStringLiteral("select total(book_value) from book")).value(0).toDouble();
        const QStringList yearLines = query(QStringLiteral(
            "select y || '：' || count(*) || ' 本，' || cast(total(book_value) as integer) || ' 元' from (select"
            " coalesce(case when date(book_buyd) = book_buyd then substr(book_buyd, 1, 4) end, '日期未知') as y,"
            " book_value from book) group by y order by y"));
        start();
        fixture::runDialog(form_main->action("mschart"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("统计图表"));
            auto *tabs = fixture::child<QTabWidget>(d, "tabs_charts");
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                auto *view = qobject_cast<QChartView *>(tabs->currentWidget());
                QTest::qWait(100);
                QChart *chart = view->chart();
                const QString where = tabs->tabText(tab);
                if (books == 0) {
                    QVERIFY2(chart->axes().isEmpty() && chart->series().isEmpty(), qPrintable(where));
                    QCOMPARE(shownTexts(view).size(), 1);
                    QCOMPARE(shownTexts(view).first().first, QStringLiteral("还没有书籍，图表是空的"));
                    continue;
                }
                checkWholeTicks(chart);
                if (const auto *pie = qobject_cast<QPieSeries *>(chart->series().value(0))) {
                    QStringList labels;
                    // A label beside a slice is cut at the window's edge:
                    // the labels are in the legend.
                    for (const QPieSlice *slice : pie->slices()) {
                        QVERIFY2(!slice->isLabelVisible(), qPrintable(slice->label()));
                        labels << slice->label();
                    }
                    checkShown(view, labels, view->width(), true);
                    continue;
                }
                auto *names = qobject_cast<QBarCategoryAxis *>(chart->axes().value(0));
                QVERIFY2(names, qPrintable(where));
                const bool across = names->alignment() == Qt::AlignBottom;
                const qreal room = across ? chart->plotArea().width() : chart->plotArea().height();
                checkShown(view, names->categories(), room / names->count(), across);
                if (view->objectName() == QStringLiteral("chart_buy")) {
                    // Every year is in a bar.
                    const QBarSet *set = qobject_cast<QBarSeries *>(chart->series().value(0))->barSets().value(0);
                    double drawn = 0;
                    for (int i = 0; i < set->count(); ++i)
                        drawn += set->at(i);
                    QCOMPARE(drawn, money);
                    checkTallestTip(view, names->categories(), yearLines);
                }
            }
            // Made wider, the purchase chart gathers its years in narrower
            // spans, every label still whole.
            if (books >= 3000) {
                tabs->setCurrentIndex(3);
                auto *view = fixture::child<QChartView>(d, "chart_buy");
                const qsizetype before = qobject_cast<QBarCategoryAxis *>(view->chart()->axes().value(0))->count();
                d->resize(1600, 900);
                QTest::qWait(200);
                auto *names = qobject_cast<QBarCategoryAxis *>(view->chart()->axes().value(0));
                QVERIFY2(names->count() > before, qPrintable(names->categories().join(u' ')));
                checkShown(view, names->categories(), view->chart()->plotArea().width() / names->count(), true);
            }
            QVERIFY(msg::takeShown().isEmpty());
        });
    }

    // Codes that are no known codes (none, 0, out of range, a text): the
    // loan and read charts gather them in a slice of their own, the rating
    // chart in a bar of its own.
    void unknownCodesHaveTheirOwnSlice()
    {
        seed(QStringLiteral("insert into book (book_name, book_loan, book_readed, book_rating) values"
                            " ('a', 1, 1, 1), ('b', NULL, 0, 7), ('c', 0, 'abc', NULL), ('d', 7, NULL, 'abc'),"
                            " ('e', 'abc', 9, 0)"));
        start();
        fixture::runDialog(form_main->action("mschart"), [](QDialog *d) {
            const auto slices = [&](const char *name) {
                QStringList out;
                const auto *pie =
                    qobject_cast<QPieSeries *>(fixture::child<QChartView>(d, name)->chart()->series().value(0));
                if (pie)
                    for (const QPieSlice *slice : pie->slices())
                        out << slice->label();
                return out;
            };
            QCOMPARE(slices("chart_loan"), (QStringList{"自己拥有：1 本（20.0%）", "其他：4 本（80.0%）"}));
            QCOMPARE(slices("chart_read"), (QStringList{"已读：1 本（20.0%）", "未填：4 本（80.0%）"}));
            const auto *bars =
                qobject_cast<QBarSeries *>(fixture::child<QChartView>(d, "chart_rating")->chart()->series().value(0));
            QVERIFY(bars);
            QList<qreal> values;
            for (int i = 0; i < bars->barSets().value(0)->count(); ++i)
                values << bars->barSets().value(0)->at(i);
            QCOMPARE(values, (QList<qreal>{1, 0, 0, 0, 0, 4}));
            QVERIFY(msg::takeShown().isEmpty());
        });
    }

    // One book: every chart has it; the picture saved is the chart shown, at
    // its size; a target below a regular file is named in the error.
    void oneBookAndItsPicture()
    {
        seed(QStringLiteral("insert into category (cate_name) values ('小说');"
                            "insert into book (book_name, book_cate, book_loan, book_readed, book_rating, book_buyd, "
                            "book_value) values ('书', '小说', 3, 1, 2, '2003-09-02', '12.50')"));
        start();
        const QString good = folder->path() + QStringLiteral("图表.png");
        QFile blocker(folder->path() + QStringLiteral("文件"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        fixture::runDialog(form_main->action("mschart"), [&](QDialog *d) {
            for (const QString &title : titles(d))
                QVERIFY2(!title.contains(QStringLiteral("还没有书籍")), qPrintable(title));
            auto *loan = fixture::child<QChartView>(d, "chart_loan");
            QCOMPARE(loan->chart()->series().size(), 1);
            auto *tabs = fixture::child<QTabWidget>(d, "tabs_charts");
            tabs->setCurrentIndex(1);
            filedialog::setNextFileName(good);
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_savepng"), Qt::LeftButton);
            QVERIFY(msg::takeShown().isEmpty());
            auto *status = fixture::child<QStatusBar>(d, "statusbar_charts");
            QCOMPARE(status->currentMessage(), QStringLiteral("图片已保存到 ") + QDir::toNativeSeparators(good));
            const QImage saved(good);
            QVERIFY(!saved.isNull());
            QCOMPARE(saved.size(), loan->grab().size());

            filedialog::setNextFileName(blocker.fileName() + QStringLiteral("/图表.png"));
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_savepng"), Qt::LeftButton);
            const QList<msg::Shown> shown = msg::takeShown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.contains(QStringLiteral("图表.png")), qPrintable(shown[0].text));
            QVERIFY(status->currentMessage().isEmpty());

            // Never over the catalogue itself.
            const QByteArray catalogue = [&] {
                QFile f(dataFile());
                return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            }();
            filedialog::setNextFileName(dataFile());
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_savepng"), Qt::LeftButton);
            const QList<msg::Shown> refused = msg::takeShown();
            QCOMPARE(refused.size(), 1);
            QVERIFY2(refused[0].text.contains(QStringLiteral("不能把图片保存为正在使用的数据文件")),
                     qPrintable(refused[0].text));
            QFile after(dataFile());
            QVERIFY(after.open(QIODevice::ReadOnly));
            QCOMPARE(after.readAll(), catalogue);
        });
    }
};

QTEST_MAIN(ChartsTest)
#include "tst_charts.moc"
