#include "form_charts.h"

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

void drawPie(QChartView *view, const QFont &font, const QString &title, const std::vector<figures::Part> &all)
{
    const std::vector<figures::Part> parts = figures::withBooks(all);
    qint64 books = 0;
    for (const figures::Part &p : parts)
        books += p.books;
    QChart *chart = freshChart(
        view, font, parts.empty() ? title + QStringLiteral("（") + kEmptyNote + QStringLiteral("）") : title);
    auto *series = new QPieSeries;
    for (const figures::Part &p : parts) {
        QPieSlice *slice = series->append(
            QStringLiteral("%1：%2 本（%3）").arg(p.label).arg(p.books).arg(percent(p.books, books)), double(p.books));
        slice->setLabelFont(font);
        slice->setLabelVisible(true);
    }
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
}

// Bars of books per label; horizontal ones list the first part at the top.
void drawBars(QChartView *view, const QFont &font, const QString &title, const std::vector<figures::Part> &parts,
              bool horizontal)
{
    qint64 books = 0, most = 0;
    for (const figures::Part &p : parts) {
        books += p.books;
        most = std::max(most, p.books);
    }
    QChart *chart =
        freshChart(view, font, books == 0 ? title + QStringLiteral("（") + kEmptyNote + QStringLiteral("）") : title);
    auto *set = new QBarSet(QStringLiteral("书籍数目"));
    QStringList labels;
    for (size_t i = 0; i < parts.size(); ++i) {
        const figures::Part &p = horizontal ? parts[parts.size() - 1 - i] : parts[i];
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
void drawPurchases(QChartView *view, const QFont &font, const figures::Purchases &bought)
{
    qint64 books = 0;
    double most = 0;
    for (const figures::Year &y : bought.years) {
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
                                  bought.leftOutPrices.size() >= figures::kPricesNamed
                              ? QStringLiteral("……")
                              : QString());
    QChart *chart = freshChart(view, font, title);
    auto *set = new QBarSet(QStringLiteral("购买金额"));
    QStringList labels;
    std::vector<QString> tips;
    for (const figures::Year &y : bought.years) {
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
    guard::connect(m_savePictureButton, &QPushButton::clicked, this, &ChartsDialog::saveChartAsPicture);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QChartView *ChartsDialog::addTab(const char *name, const QString &caption)
{
    auto *view = new QChartView(m_tabs);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    m_tabs->addTab(view, caption);
    return view;
}

void ChartsDialog::FormShow()
{
    drawCharts();
}

void ChartsDialog::drawCharts()
{
    const QFont shown = font();
    Catalogue &books = catalogue();
    drawBars(m_categoryChart, shown, QStringLiteral("各分类的书籍数目"), books.booksByCategory(kCategoriesShown), true);
    drawPie(m_loanChart, shown, QStringLiteral("自己拥有、借入和已借出的书籍"), books.booksByCode(figures::Code::Loan));
    drawPie(m_readChart, shown, QStringLiteral("已读和未读的书籍"), books.booksByCode(figures::Code::Read));
    drawPurchases(m_purchaseChart, shown, books.purchasesByYear());
    drawBars(m_ratingChart, shown, QStringLiteral("各喜爱程度的书籍数目"), books.booksByCode(figures::Code::Rating),
             false);
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
}
