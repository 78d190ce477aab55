#pragma once

#include "components/formdialog.h"

class QChartView;
class QPushButton;
class QTabWidget;

// 统计图表: the catalogue drawn, a tab for each figure — books per category,
// own / borrowed / lent, read, books and money per purchase year, rating —
// counted afresh at each showing by the rules of the statistics lists (see
// catalogue/figures.h). "保存图片…" writes the chart shown as a PNG picture.
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
    void saveChartAsPicture();

    QTabWidget *m_tabs;
    QChartView *m_categoryChart;
    QChartView *m_loanChart;
    QChartView *m_readChart;
    QChartView *m_purchaseChart;
    QChartView *m_ratingChart;
    QPushButton *m_savePictureButton;
    QPushButton *m_closeButton;
};
