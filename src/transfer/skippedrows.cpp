#include "skippedrows.h"

#include "catalogue/bookimport.h"

SkippedRowsModel::SkippedRowsModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void SkippedRowsModel::reset(const BookImport &books)
{
    beginResetModel();
    m_books = &books;
    m_records = books.notableRecords();
    m_withDuplicates = false;
    endResetModel();
}

void SkippedRowsModel::setWithDuplicates(bool with)
{
    if (with == m_withDuplicates || m_records.empty())
        return;
    m_withDuplicates = with;
    Q_EMIT dataChanged(index(0, 1), index(int(m_records.size()) - 1, 1));
}

int SkippedRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int SkippedRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant SkippedRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(m_records.size()))
        return QVariant();
    const int record = m_records[size_t(index.row())];
    if (index.column() == 0)
        return QStringLiteral("第%1行").arg(m_books->table().line(record));
    if (index.column() == 1) {
        switch (m_books->judgement(record).status) {
        case BookImport::Status::Good:
            return QStringLiteral("导入，部分留空");
        case BookImport::Status::Duplicate:
            return m_withDuplicates ? QStringLiteral("导入（重复）") : QStringLiteral("不导入（重复）");
        default:
            return QStringLiteral("不导入");
        }
    }
    return m_books->reason(record);
}

QVariant SkippedRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return section == 0 ? QStringLiteral("行") : section == 1 ? QStringLiteral("处理") : QStringLiteral("原因");
}
