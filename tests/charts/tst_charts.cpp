// The chart window: opened on an empty catalogue and on one book, and the
// picture it saves.
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "support/guitest.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QImage>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QTabWidget>
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

private Q_SLOTS:
    void emptyCatalogueShowsEmptyCharts()
    {
        start();
        fixture::runDialog(form_main->action("mschart"), [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("统计图表"));
            for (const QString &title : titles(d))
                QVERIFY2(title.contains(QStringLiteral("还没有书籍")), qPrintable(title));
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
            const QImage saved(good);
            QVERIFY(!saved.isNull());
            QCOMPARE(saved.size(), loan->grab().size());

            filedialog::setNextFileName(blocker.fileName() + QStringLiteral("/图表.png"));
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_savepng"), Qt::LeftButton);
            const QList<msg::Shown> shown = msg::takeShown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.contains(QStringLiteral("图表.png")), qPrintable(shown[0].text));

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
