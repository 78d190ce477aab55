#include "mappingdelegate.h"

#include "catalogue/bookcolumns.h"

#include <QComboBox>

MappingDelegate::MappingDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

QWidget *MappingDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("combo_column%1").arg(index.row()));
    for (int t = 0; t < bookcolumns::kTargetCount; ++t)
        combo->addItem(bookcolumns::caption(bookcolumns::Target(t)), t);
    combo->setMaxVisibleItems(bookcolumns::kTargetCount);
    // A choice counts at once, as in a pick list that stands in the cell.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        auto *self = const_cast<MappingDelegate *>(this);
        Q_EMIT self->commitData(combo);
    });
    return combo;
}

void MappingDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    combo->setCurrentIndex(combo->findData(index.data(kTargetRole).toInt()));
}

void MappingDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const int target = combo->currentData().toInt();
    if (index.data(kTargetRole).toInt() == target)
        return;
    model->setData(index, target, kTargetRole);
    model->setData(index, bookcolumns::caption(bookcolumns::Target(target)), Qt::DisplayRole);
}
