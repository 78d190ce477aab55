#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

// The main window's commands: every item with its caption, access key,
// tooltip and picture, placed in the menu bar and the six toolbars, and the
// two pop-up menus. Built from one table.
struct Commands
{
    QHash<QString, QAction *> actions; // by item name, e.g. "meaddbook"
    QMenu *saveTo = nullptr;           // the sub-menu "另存为(&S)"
    QMenu *popmenuCate = nullptr;
    QMenu *popmenuBooklist = nullptr;

    QAction *operator[](const QString &name) const { return actions.value(name); }
};

Commands buildCommands(QMainWindow *window);
