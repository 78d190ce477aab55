#include "commands.h"

#include "components/pictures.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <vector>

namespace {

struct Item
{
    const char *name;
    const char16_t *caption;
    int picture; // index into image_main, -1 for none
};

// Every command of the main window, in the order of its menus, the commands
// added later (CSV, the loan overview, the charts) last. Kept in rows by hand: their long captions would make the
// formatter give every command a line of its own.
// clang-format off
constexpr Item kItems[] = {
    {"mfdaoru", u"还原备份数据(&O)", 18},  {"mfbeifen", u"备份数据库(&B)", 17},    {"mfsaveto", u"另存为(&S)", 24},
    {"mfsaveexcel", u"存为EXCEL文件", -1}, {"mfsavehtml", u"存为HTML文件", -1},    {"mfexit", u"退出(&X)", -1},
    {"meaddbook", u"添加新书籍(&N)", 0},   {"meeditbook", u"修改书籍资料(&E)", 1}, {"medelbook", u"删除书籍(&D)", 2},
    {"meaddcate", u"添加新类别(&A)", 3},   {"meeditcate", u"编辑类别(&C)", 4},     {"medelcate", u"删除类别(&L)", 5},
    {"mereader", u"书友(&R)", 7},          {"meauthor", u"作者(&U)", 6},           {"mepub", u"出版社(&K)", 8},
    {"msnumber", u"书籍数目统计(&B)", 23}, {"msmoney", u"购买金额统计(&M)", 11},   {"msjie", u"借入借出统计(&L)", 22},
    {"mvbigicon", u"大图标(&L)", 12},      {"mvsmallicon", u"小图标(&S)", 13},     {"mvlist", u"列表(&I)", 14},
    {"mvxiangxi", u"详细资料(&D)", 15},    {"mvtreelist", u"分类栏(&C)", -1},      {"mtfind", u"查找", 16},
    {"mtpasswd", u"数据库密码(&P)", 19},   {"mhhelp", u"目录与索引(&H)", 20},      {"mhabout", u"关于本软件(&A)", -1},
    {"mhhomepage", u"我们的网站(&P)", 25},
    {"mfsavecsv", u"导出为CSV文件(&C)…", 26}, {"mfimportcsv", u"从CSV文件导入书籍(&I)…", 27},
    {"msloans", u"借阅一览(&O)", 28}, {"mschart", u"统计图表(&G)", 29},
};
// clang-format on

// The standard keys, beside the menus' access keys; the menus show them.
// Delete deletes only in the book list (see MainWindow::wireBookCommands).
struct Key
{
    const char *name;
    QKeyCombination key;
};

const Key kKeys[] = {
    {"meaddbook", Qt::CTRL | Qt::Key_N},
    {"meeditbook", Qt::CTRL | Qt::Key_E},
    {"medelbook", QKeyCombination(Qt::Key_Delete)},
    {"mtfind", Qt::CTRL | Qt::Key_F},
    {"mhhelp", QKeyCombination(Qt::Key_F1)},
};

// "|" stands for a separator line.
struct Bar
{
    const char *objectName;
    const char16_t *title;
    std::vector<const char *> items;
};

const std::vector<Bar> kMenus = {
    {"menu_file", u"文件(&F)", {"mfdaoru", "mfbeifen", "|", "mfsaveto", "mfsavecsv", "mfimportcsv", "|", "mfexit"}},
    {"menu_edit",
     u"编辑(&E)",
     {"meaddbook", "meeditbook", "medelbook", "|", "meaddcate", "meeditcate", "medelcate", "|", "mereader", "meauthor",
      "mepub"}},
    {"menu_stat", u"统计(&S)", {"msnumber", "msmoney", "|", "msjie", "msloans", "|", "mschart"}},
    {"menu_view", u"查看(&V)", {"mvbigicon", "mvsmallicon", "mvlist", "mvxiangxi", "|", "mvtreelist"}},
    {"menu_tools", u"工具(&T)", {"mtfind", "|", "mtpasswd"}},
    {"menu_help", u"帮助(&H)", {"mhhelp", "|", "mhabout", "mhhomepage"}},
};

const std::vector<Bar> kToolBars = {
    {"toolbar_book", u"书籍工具栏", {"meaddbook", "meeditbook", "medelbook"}},
    {"toolbar_cate", u"类别工具栏", {"meaddcate", "meeditcate", "medelcate"}},
    {"toolbar_stat", u"统计工具栏", {"msnumber", "msmoney", "msjie", "msloans", "mschart"}},
    {"toolbar_db", u"附加数据库工具栏", {"mereader", "meauthor", "mepub"}},
    {"toolbar_view", u"查看工具栏", {"mvbigicon", "mvsmallicon", "mvlist", "mvxiangxi"}},
    {"toolbar_other",
     u"其它工具栏",
     {"mfdaoru", "mfbeifen", "mfsaveto", "mfsavecsv", "mfimportcsv", "|", "mtfind", "|", "mhhomepage", "mhhelp"}},
};

// Pop-up menus: item name, caption, the command it runs ("" for a separator).
struct PopupItem
{
    const char *name;
    const char16_t *caption;
    const char *command;
};

const std::vector<PopupItem> kPopmenuCate = {
    {"N1", u"添加新类别", "meaddcate"},  {"N2", u"修改类别", "meeditcate"},
    {"N3", u"删除类别", "medelcate"},    {"N4", u"", ""},
    {"N5", u"关闭分类栏", "mvtreelist"},
};

const std::vector<PopupItem> kPopmenuBooklist = {
    {"N6", u"查看书籍资料", ""},           {"N7", u"", ""},
    {"N8", u"添加新书籍", "meaddbook"},    {"N9", u"修改书籍资料", "meeditbook"},
    {"N10", u"删除选定书籍", "medelbook"}, {"N11", u"", ""},
    {"N12", u"关闭分类栏", "mvtreelist"},
};

// The sub-menu's button has no tooltip of its own.
class NoToolTip : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};

// A command's tooltip is its caption without the "&".
QString withoutAmpersand(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

QMenu *buildPopup(QMainWindow *window, const char *objectName, const std::vector<PopupItem> &items,
                  const QHash<QString, QAction *> &commands)
{
    auto *menu = new QMenu(window);
    menu->setObjectName(QString::fromLatin1(objectName));
    for (const PopupItem &item : items) {
        QAction *action = menu->addAction(QString::fromUtf16(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (*item.caption == 0) {
            action->setSeparator(true);
            continue;
        }
        const QString command = QString::fromLatin1(item.command);
        if (!command.isEmpty())
            QObject::connect(action, &QAction::triggered, commands.value(command), &QAction::trigger);
    }
    return menu;
}

} // namespace

Commands buildCommands(QMainWindow *window)
{
    Commands commands;
    for (const Item &item : kItems) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromUtf16(item.caption);
        QAction *action;
        if (name == QLatin1String("mfsaveto")) {
            commands.saveTo = new QMenu(caption, window);
            commands.saveTo->setObjectName(QStringLiteral("menu_mfsaveto"));
            action = commands.saveTo->menuAction();
        } else {
            action = new QAction(caption, window);
            action->setToolTip(withoutAmpersand(caption));
        }
        action->setObjectName(name);
        action->setIconVisibleInMenu(true);
        if (item.picture >= 0)
            action->setIcon(QIcon(pictures::command(item.picture)));
        commands.actions.insert(name, action);
    }
    for (const Key &key : kKeys)
        commands[QString::fromLatin1(key.name)]->setShortcut(QKeySequence(key.key));
    commands.saveTo->addAction(commands[QStringLiteral("mfsaveexcel")]);
    commands.saveTo->addAction(commands[QStringLiteral("mfsavehtml")]);

    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("barmanager_main"));
    bar->setWindowTitle(QStringLiteral("主菜单"));
    for (const Bar &m : kMenus) {
        QMenu *menu = bar->addMenu(QString::fromUtf16(m.title));
        menu->setObjectName(QString::fromLatin1(m.objectName));
        for (const char *item : m.items) {
            if (item[0] == '|')
                menu->addSeparator();
            else
                menu->addAction(commands[QString::fromLatin1(item)]);
        }
    }

    for (const Bar &t : kToolBars) {
        auto *toolbar = new QToolBar(QString::fromUtf16(t.title), window);
        toolbar->setObjectName(QString::fromLatin1(t.objectName));
        toolbar->setMovable(false);
        toolbar->setFloatable(false);
        toolbar->setAllowedAreas(Qt::TopToolBarArea);
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        toolbar->toggleViewAction()->setEnabled(false);
        for (const char *item : t.items) {
            if (item[0] == '|') {
                toolbar->addSeparator();
                continue;
            }
            QAction *action = commands[QString::fromLatin1(item)];
            toolbar->addAction(action);
            if (action->menu()) {
                auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(action));
                button->setPopupMode(QToolButton::InstantPopup);
                button->installEventFilter(new NoToolTip(button));
            }
        }
        window->addToolBar(Qt::TopToolBarArea, toolbar);
    }

    commands.popmenuCate = buildPopup(window, "popmenu_cate", kPopmenuCate, commands.actions);
    commands.popmenuBooklist = buildPopup(window, "popmenu_booklist", kPopmenuBooklist, commands.actions);
    return commands;
}
