#include "skippedrows.h"

#include "bookimport.h"

SkippedRowsModel::SkippedRowsModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void SkippedRowsModel::reset(const BookImport &books)
{
    beginResetModel();
    m_books = &books;
    m_records.clear();
    for (int r = 0; r < books.table().recordCount(); ++r) {
        const BookImport::Status status = books.judgement(r).status;
        if (status != BookImport::Status::Good && status != BookImport::Status::Blank)
            m_records.push_back(r);
    }
    endResetModel();
}

int SkippedRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int SkippedRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant SkippedRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(m_records.size()))
        return QVariant();
    const int record = m_records[size_t(index.row())];
    if (index.column() == 0)
        return QStringLiteral("第%1行").arg(m_books->table().line(record));
    return m_books->reason(record);
}

QVariant SkippedRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return section == 0 ? QStringLiteral("行") : QStringLiteral("原因");
}
