// The main window's chart window.
#include "form_main.h"

#include "components/guard.h"
#include "stats/form_charts.h"

#include <QAction>

void Tform_main::wireChartCommands()
{
    guard::connect(action("mschart"), &QAction::triggered, this, &Tform_main::mschartClick);
}

void Tform_main::mschartClick()
{
    // Made for each use: every chart is counted afresh anyway.
    ChartsDialog window(this);
    window.setCatalogue(m_catalogue);
    window.showModal();
}
