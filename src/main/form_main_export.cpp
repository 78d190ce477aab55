// The main window's export commands.
#include "form_main.h"

#include "components/guard.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"

#include <QAction>

void MainWindow::wireExportCommands()
{
    guard::connect(action("mfsaveexcel"), &QAction::triggered, this, &MainWindow::saveAsExcel);
    guard::connect(action("mfsavehtml"), &QAction::triggered, this, &MainWindow::saveAsHtml);
}

void MainWindow::saveAsExcel()
{
    form_saveexcel->showModal();
}

void MainWindow::saveAsHtml()
{
    form_savehtml->showModal();
}
