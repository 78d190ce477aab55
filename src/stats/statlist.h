#pragma once

#include <QString>
#include <QVariant>

class Dataset;
class QTreeWidget;
class QTreeWidgetItem;

// What the three statistics dialogs share: a read-only two-column report
// list whose headers do nothing, and counting the rows of a command.
namespace statlist {

// Sets up the list: whole-row selection, one row at a time, no sorting; the
// first column's width as given.
void setup(QTreeWidget *list, int firstWidth);

// Adds a row with its caption and, when given, its figure.
QTreeWidgetItem *addRow(QTreeWidget *list, const QString &caption, const QString &figure = QString());

// The number of rows the command returns, walked without keeping them; the
// dataset stays closed.
int countRows(Dataset &dataset, const QString &command, const QVariantList &values = {});

} // namespace statlist
