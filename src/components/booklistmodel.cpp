#include "booklistmodel.h"

#include "store/bookrow.h"
#include "store/textorder.h"

#include <QColor>

#include <algorithm>
#include <numeric>

namespace {

const QColor kBorrowedIn(166, 202, 240);
const QColor kLentOut(192, 220, 192);

} // namespace

BookListModel::BookListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_smallIcon(QStringLiteral(":/icons/main/00.png"))
    , m_largeIcon(QStringLiteral(":/icons/bigbook.png"))
{}

int BookListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int BookListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : bookrow::kColumnCount;
}

QString BookListModel::cell(int row, int column) const
{
    return m_rows.value(row, column).text();
}

int BookListModel::cellCount(int row) const
{
    return m_rows.valueCount(row);
}

QStringList BookListModel::rowTexts(int row) const
{
    return bookrow::rowTexts(m_rows, row);
}

QVariant BookListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return cell(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0)
            return m_largeIcons ? m_largeIcon : m_smallIcon;
        return {};
    case Qt::SizeHintRole:
        if (index.column() == 0 && m_itemSize.isValid())
            return m_itemSize;
        return {};
    case Qt::BackgroundRole: {
        const QString loan = cell(index.row(), bookrow::Loan);
        if (loan == u"借入")
            return kBorrowedIn;
        if (loan == u"已借出")
            return kLentOut;
        return {};
    }
    default:
        return {};
    }
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < bookrow::kColumnCount)
        return bookrow::header(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void BookListModel::beginFill()
{
    beginResetModel();
    m_filling = true;
    m_rows.clear();
}

void BookListModel::fillRow(const QStringList &texts)
{
    bookrow::appendRow(m_rows, texts);
}

void BookListModel::Fill::addBooks(Dataset &books)
{
    bookrow::PackedBuilder builder;
    books.scan([&](const Dataset::Row &row) { builder.build(row, m_model.m_rows); });
    m_model.m_rows.squeeze();
}

void BookListModel::endFill()
{
    if (!m_filling)
        return;
    m_filling = false;
    endResetModel();
}

void BookListModel::clear()
{
    Fill fill(*this);
}

void BookListModel::appendRow(const QStringList &texts)
{
    const int row = m_rows.rowCount();
    beginInsertRows(QModelIndex(), row, row);
    bookrow::appendRow(m_rows, texts);
    endInsertRows();
}

void BookListModel::setRow(int row, const QStringList &texts)
{
    if (row < 0 || row >= m_rows.rowCount())
        return;
    bookrow::appendRow(m_rows, texts);
    m_rows.moveLastTo(row);
    Q_EMIT dataChanged(index(row, 0), index(row, bookrow::kColumnCount - 1));
}

void BookListModel::removeBookRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeRow(row);
    endRemoveRows();
}

void BookListModel::sortRows(int column, bool ascending)
{
    const size_t n = size_t(m_rows.rowCount());
    // The keys are made once per sort, packed into one buffer.
    QByteArray keys;
    std::vector<qsizetype> starts(n + 1);
    for (size_t i = 0; i < n; ++i) {
        starts[i] = keys.size();
        textorder::appendKey(cell(int(i), column), keys);
    }
    starts[n] = keys.size();

    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const char *base = keys.constData();
    auto compare = [&](int a, int b) {
        return textorder::compareKeys(base + starts[size_t(a)], starts[size_t(a) + 1] - starts[size_t(a)],
                                      base + starts[size_t(b)], starts[size_t(b) + 1] - starts[size_t(b)]);
    };
    if (ascending)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(b, a) < 0; });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows.reorder(order);
    std::vector<int> newPosition(n);
    for (size_t i = 0; i < n; ++i)
        newPosition[size_t(order[i])] = int(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after << index(newPosition[size_t(old.row())], old.column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BookListModel::setLargeIcons(bool large)
{
    if (m_largeIcons == large)
        return;
    m_largeIcons = large;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(m_rows.rowCount() - 1, 0), {Qt::DecorationRole});
}

void BookListModel::setItemSize(QSize size)
{
    if (m_itemSize == size)
        return;
    m_itemSize = size;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(m_rows.rowCount() - 1, 0), {Qt::SizeHintRole});
}
