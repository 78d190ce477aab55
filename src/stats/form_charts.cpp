#include "form_charts.h"

#include "chartlabels.h"
#include "charttips.h"

#include "catalogue/catalogue.h"
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
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
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
    view->findChild<ChartTips *>()->clear();
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

// An empty catalogue: the sentence alone, no series and no axes.
void drawEmpty(QChartView *view, const QFont &font)
{
    freshChart(view, font, kEmptyNote)->legend()->hide();
}

void styleAxis(QAbstractAxis *axis, const QFont &font)
{
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
}

// A value axis from 0 past `most` whose labels are whole numbers.
QValueAxis *wholeNumberAxis(double most, const QFont &font)
{
    const chartlabels::Scale scale = chartlabels::wholeNumbers(most);
    auto *axis = new QValueAxis;
    axis->setRange(0, scale.top);
    axis->setTickCount(scale.ticks);
    axis->setMinorTickCount(0);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    styleAxis(axis, font);
    return axis;
}

// The tooltip of the bar under the mouse; tips[i] belongs to bar i.
void showTips(QBarSet *set, QChartView *view, const QStringList &tips)
{
    ChartTips *shown = view->findChild<ChartTips *>();
    QObject::connect(set, &QBarSet::hovered, shown,
                     [shown, tips](bool over, int index) { shown->hover(over, tips.value(index)); });
}

QString percent(qint64 part, qint64 all)
{
    return all > 0 ? QString::number(100.0 * double(part) / double(all), 'f', 1) + QLatin1Char('%') : QString();
}

// Slices in the legend beside the pie, where a long label is never cut by
// the window's edge; the label again in the slice's tooltip.
void drawPie(QChartView *view, const QFont &font, const QString &title, const std::vector<figures::Part> &all)
{
    const std::vector<figures::Part> parts = figures::withBooks(all);
    if (parts.empty())
        return drawEmpty(view, font);
    qint64 books = 0;
    for (const figures::Part &p : parts)
        books += p.books;
    QChart *chart = freshChart(view, font, title);
    auto *series = new QPieSeries;
    for (const figures::Part &p : parts) {
        const QString label = QStringLiteral("%1：%2 本（%3）").arg(p.label).arg(p.books).arg(percent(p.books, books));
        QPieSlice *slice = series->append(label, double(p.books));
        ChartTips *shown = view->findChild<ChartTips *>();
        QObject::connect(slice, &QPieSlice::hovered, shown, [shown, label](bool over) { shown->hover(over, label); });
    }
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->show();
}

// Bars of books per label; horizontal ones list the first part at the top.
// A long label is shortened on the axis and whole in the bar's tooltip.
void drawBars(QChartView *view, const QFont &font, const QString &title, const std::vector<figures::Part> &parts,
              bool horizontal)
{
    qint64 books = 0, most = 0;
    for (const figures::Part &p : parts) {
        books += p.books;
        most = std::max(most, p.books);
    }
    if (books == 0)
        return drawEmpty(view, font);
    QChart *chart = freshChart(view, font, title);
    auto *set = new QBarSet(QStringLiteral("书籍数目"));
    QStringList labels, tips;
    const QFontMetricsF metrics(font);
    for (size_t i = 0; i < parts.size(); ++i) {
        const figures::Part &p = horizontal ? parts[parts.size() - 1 - i] : parts[i];
        *set << double(p.books);
        labels << chartlabels::shortName(p.label, metrics);
        tips << QStringLiteral("%1：%2 本").arg(p.label).arg(p.books);
    }
    set->setLabelFont(font);
    showTips(set, view, tips);
    QAbstractBarSeries *series = horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries *>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto *names = new QBarCategoryAxis;
    names->append(labels);
    names->setTruncateLabels(false);
    styleAxis(names, font);
    QValueAxis *counts = wholeNumberAxis(double(most), font);
    chart->addAxis(names, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(counts, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(counts);
    chart->legend()->hide();
}

// The title of the purchase chart, with the books whose price is no number.
QString purchaseTitle(const figures::Purchases &bought)
{
    QString title = QStringLiteral("每年购买书籍的金额（元）");
    if (bought.leftOut > 0)
        title += QStringLiteral("\n价格不是数字的 %1 本书（价格：%2%3）计入了书籍数目，没有计入金额")
                     .arg(bought.leftOut)
                     .arg(bought.leftOutPrices.join(QStringLiteral("、")),
                          bought.leftOut > bought.leftOutPrices.size() &&
                                  bought.leftOutPrices.size() >= figures::kPricesNamed
                              ? QStringLiteral("……")
                              : QString());
    return title;
}

// The purchase chart's room for year labels before it is laid out: the
// view less the value axis and the margins, about.
qreal roomBeforeLayout(const QChartView *view, const QFontMetricsF &metrics)
{
    return std::max(0.0, view->width() - 12 * metrics.averageCharWidth() - 40);
}

} // namespace

ChartsDialog::ChartsDialog(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_charts"));
    setWindowTitle(QStringLiteral("统计图表"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/29.png")));
    resize(820, 600);
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs_charts"));
    layout->addWidget(m_tabs);
    m_categoryChart = addTab("chart_cate", QStringLiteral("分类"));
    m_loanChart = addTab("chart_loan", QStringLiteral("借阅"));
    m_readChart = addTab("chart_read", QStringLiteral("阅读"));
    m_purchaseChart = addTab("chart_buy", QStringLiteral("购买"));
    m_ratingChart = addTab("chart_rating", QStringLiteral("喜爱程度"));

    auto *buttons = new QHBoxLayout;
    m_savePictureButton = new QPushButton(QStringLiteral("保存图片(&S)…"), this);
    m_savePictureButton->setObjectName(QStringLiteral("button_savepng"));
    m_savePictureButton->setToolTip(QStringLiteral("把当前的图表保存为PNG图片"));
    m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
    m_closeButton->setObjectName(QStringLiteral("button_close"));
    m_closeButton->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    buttons->addWidget(m_savePictureButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("statusbar_charts"));
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);
    guard::connect(m_savePictureButton, &QPushButton::clicked, this, &ChartsDialog::saveChartAsPicture);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QChartView *ChartsDialog::addTab(const char *name, const QString &caption)
{
    auto *view = new QChartView(m_tabs);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    new ChartTips(view);
    m_tabs->addTab(view, caption);
    return view;
}

void ChartsDialog::FormShow()
{
    m_status->clearMessage();
    drawCharts();
}

void ChartsDialog::drawCharts()
{
    const QFont shown = font();
    Catalogue &books = catalogue();
    drawBars(m_categoryChart, shown, QStringLiteral("各分类的书籍数目"), books.booksByCategory(kCategoriesShown), true);
    drawPie(m_loanChart, shown, QStringLiteral("自己拥有、借入和已借出的书籍"), books.booksByCode(figures::Code::Loan));
    drawPie(m_readChart, shown, QStringLiteral("已读和未读的书籍"), books.booksByCode(figures::Code::Read));
    m_bought = books.purchasesByYear();
    m_yearSpan = chartlabels::yearSpan(m_bought.years, QFontMetricsF(shown),
                                       roomBeforeLayout(m_purchaseChart, QFontMetricsF(shown)));
    drawPurchases();
    drawBars(m_ratingChart, shown, QStringLiteral("各喜爱程度的书籍数目"), books.booksByCode(figures::Code::Rating),
             false);
}

void ChartsDialog::drawPurchases()
{
    const QFont shown = font();
    qint64 books = 0;
    for (const figures::Year &y : m_bought.years)
        books += y.books;
    if (books == 0)
        return drawEmpty(m_purchaseChart, shown);
    QChart *chart = freshChart(m_purchaseChart, shown, purchaseTitle(m_bought));
    auto *set = new QBarSet(QStringLiteral("购买金额"));
    QStringList labels, tips;
    double most = 0;
    for (const chartlabels::YearBar &bar : chartlabels::yearBars(m_bought.years, m_yearSpan)) {
        const double yuan = double(bar.spent) / 100.0;
        *set << yuan;
        most = std::max(most, yuan);
        labels << bar.label;
        tips << bar.tip;
    }
    showTips(set, m_purchaseChart, tips);
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *years = new QBarCategoryAxis;
    years->append(labels);
    years->setTruncateLabels(false);
    styleAxis(years, shown);
    QValueAxis *amounts = wholeNumberAxis(most, shown);
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(years);
    series->attachAxis(amounts);
    chart->legend()->hide();
    // Queued: the chart is replaced, never while it is laying itself out.
    connect(chart, &QChart::plotAreaChanged, this, &ChartsDialog::fitPurchaseYears, Qt::QueuedConnection);
}

void ChartsDialog::fitPurchaseYears()
{
    const QChart *chart = m_purchaseChart->chart();
    if (!chart || chart->plotArea().width() <= 0)
        return;
    const int span = chartlabels::yearSpan(m_bought.years, QFontMetricsF(font()), chart->plotArea().width());
    if (span == m_yearSpan)
        return;
    m_yearSpan = span;
    drawPurchases();
}

void ChartsDialog::saveChartAsPicture()
{
    auto *view = static_cast<QChartView *>(m_tabs->currentWidget());
    filedialog::Options box;
    box.defaultSuffix = QStringLiteral("png");
    box.filter = QStringLiteral("PNG图片 (*.png)");
    box.proposedName = QStringLiteral("统计图表-%1.png").arg(m_tabs->tabText(m_tabs->currentIndex()));
    const QString chosen = filedialog::saveFileName(this, box);
    programfolder::enter();
    if (chosen.isEmpty())
        return;
    // The word of an earlier picture goes: this one is not saved yet.
    m_status->clearMessage();
    // Never over the catalogue, its companions or the program's files.
    savetarget::check(chosen, QStringLiteral("图片"), catalogue().path());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    view->grab().toImage().save(&buffer, "PNG");
    WholeFile out(QFileInfo(chosen).absoluteFilePath());
    out.write(bytes.constData(), bytes.size());
    out.close();
    out.commit();
    m_status->showMessage(
        QStringLiteral("图片已保存到 %1").arg(QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath())));
}
