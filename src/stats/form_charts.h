#pragma once

#include "catalogue/figures.h"
#include "components/formdialog.h"

class QChartView;
class QPushButton;
class QStatusBar;
class QTabWidget;

// 统计图表: the catalogue drawn, a tab for each figure — books per category,
// own / borrowed / lent, read, books and money per purchase year, rating —
// counted afresh at each showing by the rules of the statistics lists (see
// catalogue/figures.h). Every bar keeps a label that can be read: purchase
// years are gathered into decades or wider spans when the chart is too
// narrow for a label per year, and gathered again as it is resized; exact
// figures are in the tooltips. "保存图片…" writes the chart shown as a PNG
// picture and says so in the status bar.
class ChartsDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit ChartsDialog(QWidget *parent = nullptr);

    // How many categories the category chart names; the rest are 其他.
    static constexpr int kCategoriesShown = 12;

protected:
    void FormShow() override;

private:
    QChartView *addTab(const char *name, const QString &caption);
    void drawCharts();
    // The purchase chart in bars of m_yearSpan years.
    void drawPurchases();
    // Gathers the purchase years again when the room the chart has asks for
    // another span.
    void fitPurchaseYears();
    void saveChartAsPicture();

    figures::Purchases m_bought;
    int m_yearSpan = 1;

    QTabWidget *m_tabs;
    QChartView *m_categoryChart;
    QChartView *m_loanChart;
    QChartView *m_readChart;
    QChartView *m_purchaseChart;
    QChartView *m_ratingChart;
    QPushButton *m_savePictureButton;
    QPushButton *m_closeButton;
    QStatusBar *m_status;
};
