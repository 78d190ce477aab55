#pragma once

#include <QStyledItemDelegate>

// The field a column of the file goes to, chosen in the import window's
// list of columns: the cell shows the field's name and opens a pick list
// when it is edited. One pick list at a time, made when asked for, so that
// a file of two thousand columns costs no more than its list.
class MappingDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The role that holds the target (bookcolumns::Target as int).
    static constexpr int kTargetRole = Qt::UserRole + 1;

    explicit MappingDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
