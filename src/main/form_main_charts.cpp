// The main window's chart window.
#include "form_main.h"

#include "components/guard.h"
#include "stats/form_charts.h"

#include <QAction>

void MainWindow::wireChartCommands()
{
    guard::connect(action("mschart"), &QAction::triggered, this, &MainWindow::showCharts);
}

void MainWindow::showCharts()
{
    // Made for each use: every chart is counted afresh anyway.
    ChartsDialog window(this);
    window.setCatalogue(m_catalogue);
    window.showModal();
}
