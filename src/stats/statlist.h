#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// What the three statistics dialogs share: a read-only two-column report
// list whose headers do nothing.
namespace statlist {

// Sets up the list: whole-row selection, one row at a time, no sorting; the
// first column's width as given.
void setup(QTreeWidget *list, int firstWidth);

// Adds a row with its caption and, when given, its figure.
QTreeWidgetItem *addRow(QTreeWidget *list, const QString &caption, const QString &figure = QString());

} // namespace statlist
