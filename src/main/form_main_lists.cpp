// The main window's commands for categories, the reference lists, the
// statistics and the search: each shows its dialog modally.
#include "form_main.h"

#include "components/guard.h"
#include "lists/form_addcate.h"
#include "lists/form_author.h"
#include "lists/form_pub.h"
#include "lists/form_reader.h"
#include "stats/form_find.h"
#include "stats/form_tjie.h"
#include "stats/form_tmoney.h"
#include "stats/form_tnumber.h"

#include <QAction>

void MainWindow::wireListCommands()
{
    const struct
    {
        const char *name;
        void (MainWindow::*handler)();
    } handlers[] = {
        {"meaddcate", &MainWindow::addNewCategory},     {"mereader", &MainWindow::showReaderList},
        {"meauthor", &MainWindow::showAuthorList},      {"mepub", &MainWindow::showPublisherList},
        {"msnumber", &MainWindow::showCountStatistics}, {"msmoney", &MainWindow::showMoneyStatistics},
        {"msjie", &MainWindow::showLoanStatistics},     {"mtfind", &MainWindow::findBooks},
    };
    for (const auto &h : handlers)
        guard::connect(action(h.name), &QAction::triggered, this, h.handler);
}

void MainWindow::addNewCategory()
{
    form_addcate->showModal();
}

void MainWindow::showReaderList()
{
    form_reader->showModal();
}

void MainWindow::showAuthorList()
{
    form_author->showModal();
}

void MainWindow::showPublisherList()
{
    form_pub->showModal();
}

void MainWindow::showCountStatistics()
{
    form_tnumber->showModal();
}

void MainWindow::showMoneyStatistics()
{
    form_tmoney->showModal();
}

void MainWindow::showLoanStatistics()
{
    form_tjie->showModal();
}

void MainWindow::findBooks()
{
    form_find->showModal();
}
