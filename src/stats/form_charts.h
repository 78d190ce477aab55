#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

class QChart;
class QChartView;
class QPushButton;
class QTabWidget;

// 统计图表: the catalogue drawn, a tab for each figure — books per category,
// own / borrowed / lent, read, books and money per purchase year, rating —
// counted afresh at each showing by the rules of the statistics lists (see
// chartfigures). "保存图片…" writes the chart shown as a PNG picture.
class Tform_charts : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_charts(QWidget *parent = nullptr);

    // How many categories the category chart names; the rest are 其他.
    static constexpr int kCategoriesShown = 12;

    Dataset ado_charts;

protected:
    void FormShow() override;

private:
    QChartView *addTab(const char *name, const QString &caption);
    void button_savepngClick();

    QTabWidget *tabs_charts;
    QChartView *chart_cate;
    QChartView *chart_loan;
    QChartView *chart_read;
    QChartView *chart_buy;
    QChartView *chart_rating;
    QPushButton *button_savepng;
    QPushButton *button_close;
};
