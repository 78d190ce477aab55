#include "form_main.h"

#include "catalogue/bookquery.h"
#include "catalogue/catalogue.h"
#include "components/apptitle.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/guard.h"
#include "security/form_welcome.h"
#include "startpage.h"
#include "store/programfolder.h"
#include "ui_form_main.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedLayout>
#include <QTreeWidget>

MainWindow *form_main = nullptr;

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_main"));
    setWindowTitle(app::title());
    setContextMenuPolicy(Qt::NoContextMenu);
    listview_main = ui->listview_main;
    treeview_main = ui->treeview_main;

    m_commands = buildCommands(this);

    ui->image_xx->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    ui->image_xx->setToolTip(QString());

    QFont treeFont = treeview_main->font();
    treeFont.setPointSize(12);
    treeview_main->setFont(treeFont);
    // The tree's background is the palette's light three-dimensional colour,
    // as the book list's. Its viewport paints it, and under the application's
    // style sheet a palette set on the tree no longer reaches the viewport.
    QPalette light = treeview_main->palette();
    light.setColor(QPalette::Base, light.color(QPalette::Midlight));
    treeview_main->setPalette(light);
    treeview_main->viewport()->setPalette(light);
    treeview_main->viewport()->installEventFilter(this);

    ui->splitter_main->setStretchFactor(0, 0);
    ui->splitter_main->setStretchFactor(1, 1);
    ui->splitter_main->setSizes({201, width() - 201});
    ui->splitter_main->handle(1)->setCursor(Qt::SplitHCursor);

    // The panel tells how many books the list shows; a long count widens it.
    m_countPanel = new QLabel(ui->statusbar_main);
    m_countPanel->setObjectName(QStringLiteral("statuspanel_main"));
    m_countPanel->setMinimumWidth(50);
    ui->statusbar_main->addWidget(m_countPanel);
    ui->statusbar_main->setFixedHeight(19);

    // The book list and, in its place while there is no book, the start
    // page: one stack, so that both always have the place's size.
    m_startPage = new StartPage(m_commands, ui->panel_right);
    auto *stack = new QStackedLayout(ui->panel_right);
    stack->addWidget(listview_main);
    stack->addWidget(m_startPage);
    BookListModel *rows = listview_main->model();
    connect(rows, &BookListModel::modelReset, this, &MainWindow::showListState);
    connect(rows, &BookListModel::rowsInserted, this, &MainWindow::showListState);
    connect(rows, &BookListModel::rowsRemoved, this, &MainWindow::showListState);

    wireCommands();
    showListState();
}

QString MainWindow::captionFor(const QString &dataFile)
{
    if (programfolder::isBesideProgram(dataFile))
        return app::title();
    const QFileInfo file(dataFile);
    QString folder = QDir::cleanPath(file.absolutePath());
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home != QLatin1String("/") && (folder == home || folder.startsWith(home + QLatin1Char('/'))))
        folder = QLatin1Char('~') + folder.mid(home.size());
    // The file first, where a narrow task bar still shows it, the program's
    // title last: the window system adds the title to a caption that does
    // not end with it.
    return QStringLiteral("%1（%2） — %3").arg(file.fileName(), QDir::toNativeSeparators(folder), app::title());
}

void MainWindow::showListState()
{
    const int books = listview_main->model()->rowCount();
    const QString count =
        m_listKind == BookQuery::Kind::Matching ? QStringLiteral("找到 %1 本书") : QStringLiteral("共 %1 本书");
    m_countPanel->setText(count.arg(books));
    auto *stack = static_cast<QStackedLayout *>(ui->panel_right->layout());
    stack->setCurrentWidget(books == 0 && catalogueIsEmpty() ? m_startPage : static_cast<QWidget *>(listview_main));
}

bool MainWindow::catalogueIsEmpty() const
{
    if (!m_catalogue)
        return false;
    // Runs inside the list's own signals: nothing may leave here.
    try {
        return !m_catalogue->hasBooks();
    } catch (...) {
        return false;
    }
}

MainWindow::~MainWindow() = default;

QAction *MainWindow::action(const char *name) const
{
    return m_commands[QString::fromLatin1(name)];
}

void MainWindow::wireCommands()
{
    const struct
    {
        const char *name;
        void (MainWindow::*handler)();
    } handlers[] = {
        {"mfexit", &MainWindow::quit},
        {"medelbook", &MainWindow::deleteSelectedBook},
        {"meeditcate", &MainWindow::renameSelectedCategory},
        {"medelcate", &MainWindow::deleteSelectedCategory},
        {"mvbigicon", &MainWindow::viewLargeIcons},
        {"mvsmallicon", &MainWindow::viewSmallIcons},
        {"mvlist", &MainWindow::viewList},
        {"mvxiangxi", &MainWindow::viewReport},
        {"mvtreelist", &MainWindow::toggleCategoryBar},
        {"mhabout", &MainWindow::showAbout},
    };
    for (const auto &h : handlers)
        guard::connect(action(h.name), &QAction::triggered, this, h.handler);

    guard::connect(ui->image_xx, &QToolButton::clicked, this, &MainWindow::hideCategoryBar);
    wireBookCommands();
    wireListCommands();
    wireExportCommands();
    wireCsvCommands();
    wireLoanCommands();
    wireChartCommands();
    wireFileCommands();
    connect(listview_main, &BookListView::contextMenuRequested, this,
            [this](const QPoint &pos) { m_commands.popmenuBooklist->exec(pos); });
    connect(treeview_main, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_commands.popmenuCate->exec(treeview_main->viewport()->mapToGlobal(pos)); });
}

void MainWindow::fillAtStart()
{
    programfolder::enter();
    fillTree();
    fillBookList(BookQuery::all());
}

bool MainWindow::logIn()
{
    if (!form_welcome->login()) {
        close(); // a refused login ends the program
        return false;
    }
    // The design size, centred, is what the window returns to from maximised.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), QSize(696, 480));
        frame.moveCenter(screen->availableGeometry().center());
        setGeometry(frame);
    }
    showMaximized();
    return true;
}

void MainWindow::quit()
{
    close();
}

void MainWindow::viewLargeIcons()
{
    listview_main->setViewStyle(BookListView::ViewStyle::LargeIcons);
}

void MainWindow::viewSmallIcons()
{
    listview_main->setViewStyle(BookListView::ViewStyle::SmallIcons);
}

void MainWindow::viewList()
{
    listview_main->setViewStyle(BookListView::ViewStyle::List);
}

void MainWindow::viewReport()
{
    listview_main->setViewStyle(BookListView::ViewStyle::Report);
}

void MainWindow::showCategoryBar(bool shown)
{
    if (shown == !ui->panel_left->isHidden())
        return;
    if (shown) {
        ui->panel_left->show();
        if (!m_splitterSizes.isEmpty())
            ui->splitter_main->setSizes(m_splitterSizes);
    } else {
        m_splitterSizes = ui->splitter_main->sizes();
        ui->panel_left->hide();
    }
}

void MainWindow::toggleCategoryBar()
{
    showCategoryBar(ui->panel_left->isHidden());
}

void MainWindow::hideCategoryBar()
{
    showCategoryBar(false);
}

void MainWindow::showAbout()
{
    form_welcome->showModal();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == treeview_main->viewport()) {
        // A right click opens the pop-up menu without moving the selection.
        if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
             event->type() == QEvent::MouseButtonDblClick) &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            return true;
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            guard::run(this, [this] { listSelectedCategory(); });
            return false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
