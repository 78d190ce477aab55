#include "form_charts.h"

#include "catalogue/chartfigures.h"
#include "components/filedialog.h"
#include "components/guard.h"
#include "components/messages.h"
#include "store/programfolder.h"
#include "store/savetarget.h"
#include "store/wholefile.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

const QString kEmptyNote = QStringLiteral("还没有书籍，图表是空的");

// A new chart in the application's font, replacing the view's old one.
QChart *freshChart(QChartView *view, const QFont &font, const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    QFont titleFont = font;
    titleFont.setPointSize(font.pointSize() + 3);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->setFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

void styleAxis(QAbstractAxis *axis, const QFont &font)
{
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
}

QString percent(qint64 part, qint64 all)
{
    return all > 0 ? QString::number(100.0 * double(part) / double(all), 'f', 1) + QLatin1Char('%') : QString();
}

void drawPie(QChartView *view, const QFont &font, const QString &title, const std::vector<chartfigures::Part> &all)
{
    const std::vector<chartfigures::Part> parts = chartfigures::withBooks(all);
    qint64 books = 0;
    for (const chartfigures::Part &p : parts)
        books += p.books;
    QChart *chart = freshChart(
        view, font, parts.empty() ? title + QStringLiteral("（") + kEmptyNote + QStringLiteral("）") : title);
    auto *series = new QPieSeries;
    for (const chartfigures::Part &p : parts) {
        QPieSlice *slice = series->append(
            QStringLiteral("%1：%2 本（%3）").arg(p.label).arg(p.books).arg(percent(p.books, books)), double(p.books));
        slice->setLabelFont(font);
        slice->setLabelVisible(true);
    }
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
}

// Bars of books per label; horizontal ones list the first part at the top.
void drawBars(QChartView *view, const QFont &font, const QString &title, const std::vector<chartfigures::Part> &parts,
              bool horizontal)
{
    qint64 books = 0, most = 0;
    for (const chartfigures::Part &p : parts) {
        books += p.books;
        most = std::max(most, p.books);
    }
    QChart *chart =
        freshChart(view, font, books == 0 ? title + QStringLiteral("（") + kEmptyNote + QStringLiteral("）") : title);
    auto *set = new QBarSet(QStringLiteral("书籍数目"));
    QStringList labels;
    for (size_t i = 0; i < parts.size(); ++i) {
        const chartfigures::Part &p = horizontal ? parts[parts.size() - 1 - i] : parts[i];
        *set << double(p.books);
        labels << p.label;
    }
    set->setLabelFont(font);
    QAbstractBarSeries *series = horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries *>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto *names = new QBarCategoryAxis;
    names->append(labels);
    auto *counts = new QValueAxis;
    counts->setRange(0, std::max<double>(1.0, double(most) * 1.1));
    counts->applyNiceNumbers();
    counts->setLabelFormat(QStringLiteral("%d"));
    names->setTruncateLabels(false);
    styleAxis(names, font);
    styleAxis(counts, font);
    chart->addAxis(names, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(counts, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(counts);
    chart->legend()->hide();
}

// Money per purchase year; the books of a year in the bar's tooltip.
void drawPurchases(QChartView *view, const QFont &font, const chartfigures::Purchases &bought)
{
    qint64 books = 0;
    double most = 0;
    for (const chartfigures::Year &y : bought.years) {
        books += y.books;
        most = std::max(most, double(y.spent) / 100.0);
    }
    QString title = QStringLiteral("每年购买书籍的金额（元）");
    if (books == 0)
        title += QStringLiteral("（") + kEmptyNote + QStringLiteral("）");
    else if (bought.leftOut > 0)
        title += QStringLiteral("\n价格不是数字的 %1 本书（价格：%2%3）计入了书籍数目，没有计入金额")
                     .arg(bought.leftOut)
                     .arg(bought.leftOutPrices.join(QStringLiteral("、")),
                          bought.leftOut > bought.leftOutPrices.size() &&
                                  bought.leftOutPrices.size() >= chartfigures::kPricesNamed
                              ? QStringLiteral("……")
                              : QString());
    QChart *chart = freshChart(view, font, title);
    auto *set = new QBarSet(QStringLiteral("购买金额"));
    QStringList labels;
    std::vector<QString> tips;
    for (const chartfigures::Year &y : bought.years) {
        *set << double(y.spent) / 100.0;
        labels << y.label;
        tips.push_back(QStringLiteral("%1：%2 本，%3 元").arg(y.label).arg(y.books).arg(money::amountText(y.spent)));
    }
    QObject::connect(set, &QBarSet::hovered, view, [tips](bool over, int index) {
        if (over && index >= 0 && size_t(index) < tips.size())
            QToolTip::showText(QCursor::pos(), tips[size_t(index)]);
        else
            QToolTip::hideText();
    });
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *years = new QBarCategoryAxis;
    years->append(labels);
    auto *amounts = new QValueAxis;
    amounts->setRange(0, std::max(1.0, most * 1.1));
    amounts->applyNiceNumbers();
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    styleAxis(years, font);
    styleAxis(amounts, font);
    years->setLabelsAngle(labels.size() > 12 ? -90 : 0);
    years->setTruncateLabels(false);
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(years);
    series->attachAxis(amounts);
    chart->legend()->hide();
}

} // namespace

Tform_charts::Tform_charts(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_charts"));
    setWindowTitle(QStringLiteral("统计图表"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/29.png")));
    resize(820, 600);
    auto *layout = new QVBoxLayout(this);
    tabs_charts = new QTabWidget(this);
    tabs_charts->setObjectName(QStringLiteral("tabs_charts"));
    layout->addWidget(tabs_charts);
    chart_cate = addTab("chart_cate", QStringLiteral("分类"));
    chart_loan = addTab("chart_loan", QStringLiteral("借阅"));
    chart_read = addTab("chart_read", QStringLiteral("阅读"));
    chart_buy = addTab("chart_buy", QStringLiteral("购买"));
    chart_rating = addTab("chart_rating", QStringLiteral("喜爱程度"));

    auto *buttons = new QHBoxLayout;
    button_savepng = new QPushButton(QStringLiteral("保存图片(&S)…"), this);
    button_savepng->setObjectName(QStringLiteral("button_savepng"));
    button_savepng->setToolTip(QStringLiteral("把当前的图表保存为PNG图片"));
    button_close = new QPushButton(QStringLiteral("关闭"), this);
    button_close->setObjectName(QStringLiteral("button_close"));
    button_close->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    buttons->addWidget(button_savepng);
    buttons->addStretch();
    buttons->addWidget(button_close);
    layout->addLayout(buttons);
    guard::connect(button_savepng, &QPushButton::clicked, this, &Tform_charts::button_savepngClick);
    connect(button_close, &QPushButton::clicked, this, &QDialog::reject);
}

QChartView *Tform_charts::addTab(const char *name, const QString &caption)
{
    auto *view = new QChartView(tabs_charts);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    tabs_charts->addTab(view, caption);
    return view;
}

void Tform_charts::FormShow()
{
    const QFont shown = font();
    drawBars(chart_cate, shown, QStringLiteral("各分类的书籍数目"),
             chartfigures::byCategory(ado_charts, kCategoriesShown), true);
    drawPie(chart_loan, shown, QStringLiteral("自己拥有、借入和已借出的书籍"), chartfigures::byLoan(ado_charts));
    drawPie(chart_read, shown, QStringLiteral("已读和未读的书籍"), chartfigures::byRead(ado_charts));
    drawPurchases(chart_buy, shown, chartfigures::byPurchaseYear(ado_charts));
    drawBars(chart_rating, shown, QStringLiteral("各喜爱程度的书籍数目"), chartfigures::byRating(ado_charts), false);
}

void Tform_charts::button_savepngClick()
{
    auto *view = static_cast<QChartView *>(tabs_charts->currentWidget());
    filedialog::Options box;
    box.defaultSuffix = QStringLiteral("png");
    box.filter = QStringLiteral("PNG图片 (*.png)");
    box.proposedName = QStringLiteral("统计图表-%1.png").arg(tabs_charts->tabText(tabs_charts->currentIndex()));
    const QString chosen = filedialog::saveFileName(this, box);
    programfolder::enter();
    if (chosen.isEmpty())
        return;
    // Never over the catalogue, its companions or the program's files.
    savetarget::check(chosen, QStringLiteral("图片"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    view->grab().toImage().save(&buffer, "PNG");
    WholeFile out(QFileInfo(chosen).absoluteFilePath());
    out.write(bytes.constData(), bytes.size());
    out.close();
    out.commit();
}
