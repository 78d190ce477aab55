#include "booklistmodel.h"

#include "store/bookrow.h"
#include "store/textorder.h"

#include <QColor>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

const QColor kBorrowedIn(166, 202, 240);
const QColor kLentOut(192, 220, 192);

} // namespace

BookListModel::BookListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_smallIcon(QStringLiteral(":/icons/main/00.png"))
    , m_largeIcon(QStringLiteral(":/icons/bigbook.png"))
{
    m_dates[bookrow::PubDate] = true;
    m_dates[bookrow::BuyDate] = true;
}

const bookrow::StoredFields &BookListModel::fields(int row) const
{
    if (row != m_fieldsRow) {
        m_rows.readRow(row, m_fields);
        m_fields.resize(bookrow::kFieldCount);
        for (size_t f = 0; f < m_fields.size(); ++f)
            m_fields[f].date = m_dates[f];
        m_fieldsRow = row;
    }
    return m_fields;
}

void BookListModel::rowsChanged()
{
    m_fieldsRow = -1;
    m_textsRow = -1;
    m_keys = Keys();
}

int BookListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int BookListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : bookrow::kColumnCount;
}

const QStringList &BookListModel::texts(int row) const
{
    // A view paints a row cell by cell: its texts are made once.
    if (row != m_textsRow) {
        m_texts = bookrow::build(fields(row));
        m_textsRow = row;
    }
    return m_texts;
}

QString BookListModel::cell(int row, int column) const
{
    return texts(row).value(column);
}

int BookListModel::cellCount(int row) const
{
    return int(texts(row).size());
}

QStringList BookListModel::rowTexts(int row) const
{
    return texts(row);
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
    rowsChanged();
}

void BookListModel::Fill::add(const bookrow::Fields &book)
{
    bookrow::appendFields(book, m_model.m_rows);
}

void BookListModel::Fill::addBooks(Dataset &books)
{
    bookrow::FieldReader reader;
    bool first = true;
    books.scan([&](const Dataset::Row &row) {
        reader.read(row, m_model.m_rows);
        if (std::exchange(first, false))
            for (int f = 0; f < bookrow::kFieldCount; ++f)
                m_model.m_dates[size_t(f)] = reader.isDate(f);
    });
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

void BookListModel::appendBook(const Dataset &book)
{
    const int row = m_rows.rowCount();
    beginInsertRows(QModelIndex(), row, row);
    bookrow::FieldReader().read(book, m_rows);
    rowsChanged();
    endInsertRows();
}

void BookListModel::appendRow(const bookrow::Fields &book)
{
    const int row = m_rows.rowCount();
    beginInsertRows(QModelIndex(), row, row);
    bookrow::appendFields(book, m_rows);
    rowsChanged();
    endInsertRows();
}

void BookListModel::setBook(int row, const Dataset &book)
{
    if (row < 0 || row >= m_rows.rowCount())
        return;
    bookrow::FieldReader().read(book, m_rows);
    afterSetRow(row);
}

void BookListModel::setRow(int row, const bookrow::Fields &book)
{
    if (row < 0 || row >= m_rows.rowCount())
        return;
    bookrow::appendFields(book, m_rows);
    afterSetRow(row);
}

void BookListModel::afterSetRow(int row)
{
    m_rows.moveLastTo(row);
    rowsChanged();
    Q_EMIT dataChanged(index(row, 0), index(row, bookrow::kColumnCount - 1));
}

void BookListModel::removeBookRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeRow(row);
    rowsChanged();
    endRemoveRows();
}

void BookListModel::buildKeys(int column)
{
    if (m_keys.column == column)
        return;
    const size_t n = size_t(m_rows.rowCount());
    Keys keys;
    keys.column = column;
    keys.starts.resize(n);
    keys.lengths.resize(n);
    for (size_t i = 0; i < n; ++i) {
        keys.starts[i] = keys.bytes.size();
        bookrow::appendCellKey(fields(int(i)), column, keys.bytes);
        keys.lengths[i] = int(keys.bytes.size() - keys.starts[i]);
    }
    keys.bytes.squeeze();
    m_keys = std::move(keys);
}

void BookListModel::sortRows(int column, bool ascending)
{
    buildKeys(column);
    const size_t n = size_t(m_rows.rowCount());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const char *base = m_keys.bytes.constData();
    const qsizetype *starts = m_keys.starts.data();
    const int *lengths = m_keys.lengths.data();
    auto compare = [&](int a, int b) {
        return textorder::compareKeys(base + starts[a], lengths[a], base + starts[b], lengths[b]);
    };
    if (ascending)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(b, a) < 0; });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows.reorder(order);
    m_fieldsRow = -1;
    m_textsRow = -1;
    // The keys follow their rows.
    std::vector<qsizetype> sortedStarts(n);
    std::vector<int> sortedLengths(n);
    std::vector<int> newPosition(n);
    for (size_t i = 0; i < n; ++i) {
        const auto from = size_t(order[i]);
        sortedStarts[i] = m_keys.starts[from];
        sortedLengths[i] = m_keys.lengths[from];
        newPosition[from] = int(i);
    }
    m_keys.starts = std::move(sortedStarts);
    m_keys.lengths = std::move(sortedLengths);
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
