// The main window's commands on the data file, the help document and the
// start-up password.
#include "form_main.h"

#include "catalogue/catalogue.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/guard.h"
#include "components/messages.h"
#include "security/form_passwd.h"
#include "store/datafile.h"
#include "store/programfolder.h"
#include "store/usererror.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QUrl>

namespace {

const QLatin1String kRestoreProgram("qmrestore");

// The help document, when it is there; else throws naming it.
QString helpDocument()
{
    const QString document = programfolder::helpDocument();
    if (!QFileInfo(document).isFile())
        throw UserError(QStringLiteral("找不到帮助文件%1。").arg(describeFile(document)));
    return document;
}

} // namespace

void MainWindow::wireFileCommands()
{
    guard::connect(action("mfdaoru"), &QAction::triggered, this, &MainWindow::restoreBackup);
    guard::connect(action("mfbeifen"), &QAction::triggered, this, &MainWindow::backUpCatalogue);
    guard::connect(action("mhhelp"), &QAction::triggered, this, &MainWindow::showHelp);
    guard::connect(action("mhhomepage"), &QAction::triggered, this, &MainWindow::showHomePage);
    guard::connect(action("mtpasswd"), &QAction::triggered, this, &MainWindow::changePassword);
}

void MainWindow::backUpCatalogue()
{
    // Set anew every time, so that a name typed last time is not kept.
    filedialog::Options options;
    options.defaultSuffix = QStringLiteral("qmd");
    options.filter = QStringLiteral("Quillmere数据文件 (*.qmd)");
    options.proposedName = QStringLiteral("qmdbackup.qmd");
    const QString chosen = filedialog::saveFileName(this, options);
    if (chosen.isEmpty()) {
        programfolder::enter();
        return;
    }
    const QString target = QFileInfo(chosen).absoluteFilePath();

    QString failure;
    try {
        m_catalogue->backUp(target);
    } catch (const UserError &e) {
        failure = e.message();
    }
    programfolder::enter();
    if (!failure.isEmpty())
        throw UserError(failure +
                        QStringLiteral("\n备份文件%1没有写成；原有的同名文件保持不变。").arg(describeFile(target)));
    statusBar()->showMessage(QStringLiteral("数据已备份到 %1").arg(QDir::toNativeSeparators(target)), 15000);
}

void MainWindow::restoreBackup()
{
    programfolder::enter();
    if (!msg::question(this, QStringLiteral("此操作将完全丢失当前数据并关闭当前主程序打开数据还原程序,您确定么？")))
        return;
    programfolder::enter();
    // The restore program stands beside this one and finds the same
    // catalogue by itself; any other catalogue it is handed.
    const QString program = programfolder::path() + kRestoreProgram;
    QStringList arguments;
    if (!programfolder::besideProgram())
        arguments << QStringLiteral("--data") << m_catalogue->path();
    if (!desktop::start(program, programfolder::catalogueFolder(), arguments))
        throw UserError(
            QStringLiteral("无法启动数据还原程序%1，本程序继续运行。\n请确认该程序在程序文件夹中并且可以执行。")
                .arg(describeFile(program)));
    close();
}

void MainWindow::showHelp()
{
    programfolder::enter();
    const QString document = helpDocument();
    if (!desktop::open(QUrl::fromLocalFile(document)))
        throw UserError(
            QStringLiteral("无法打开帮助文件%1：系统中没有可以打开网页文件的程序。").arg(describeFile(document)));
}

// The project has no web site yet: the page about the program in the help
// document stands in for one.
void MainWindow::showHomePage()
{
    const QString document = helpDocument();
    QUrl page = QUrl::fromLocalFile(document);
    page.setFragment(QStringLiteral("about"));
    if (!desktop::open(page))
        throw UserError(
            QStringLiteral("无法打开帮助文件%1：系统中没有可以打开网页文件的程序。").arg(describeFile(document)));
}

void MainWindow::changePassword()
{
    form_passwd->showModal();
}
