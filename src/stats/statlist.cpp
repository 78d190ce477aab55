#include "statlist.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace statlist {

void setup(QTreeWidget *list, int firstWidth)
{
    list->setColumnCount(2);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSortingEnabled(false);
    QHeaderView *header = list->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    list->setColumnWidth(0, firstWidth);
    list->setColumnWidth(1, 60);
}

QTreeWidgetItem *addRow(QTreeWidget *list, const QString &caption, const QString &figure)
{
    return new QTreeWidgetItem(list, {caption, figure});
}

} // namespace statlist
