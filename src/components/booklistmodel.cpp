#include "booklistmodel.h"

#include "catalogue/catalogue.h"
#include "store/bookrow.h"
#include "store/codes.h"
#include "store/textorder.h"
#include "store/usererror.h"

#include <QColor>
#include <QScopeGuard>

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

namespace {

// How many rows' keys tell the room to make for all of them.
constexpr size_t kKeysSampled = 4096;

// A key's first eight bytes as a number that orders as the bytes do; a
// shorter key is filled with zero bytes. Two keys with different numbers
// compare as their numbers do; equal numbers leave it to the whole keys.
quint64 keyPrefix(const char *key, quint32 length)
{
    quint64 prefix = 0;
    const quint32 taken = std::min<quint32>(length, sizeof prefix);
    for (quint32 i = 0; i < sizeof prefix; ++i)
        prefix = (prefix << 8) | (i < taken ? quint64(static_cast<unsigned char>(key[i])) : 0);
    return prefix;
}

// The values in a new order: the value at i becomes the one at order[i].
template <class T> void permuted(std::vector<T> &values, const std::vector<int> &order)
{
    std::vector<T> result(values.size());
    for (size_t i = 0; i < order.size(); ++i)
        result[i] = values[size_t(order[i])];
    values = std::move(result);
}

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
    case Qt::BackgroundRole:
        // The colour of the loan text the row shows; a loan code that is no
        // known code (whatever its text) gives none.
        switch (bookrow::loanCode(fields(index.row()))) {
        case codes::kBorrowedIn:
            return kBorrowedIn;
        case codes::kLentOut:
            return kLentOut;
        default:
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

void BookListModel::Fill::addBooks(const Catalogue &catalogue, const BookQuery &query)
{
    // Rows read before an error stay, squeezed all the same.
    const auto squeeze = qScopeGuard([this] { m_model.m_rows.squeeze(); });
    catalogue.readBookRows(query, m_model.m_rows, m_model.m_dates);
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

namespace {

// Appends the first row of one store to another.
void copyFirstRow(const PackedRows &from, PackedRows &into)
{
    std::vector<FieldValue> values;
    from.readRow(0, values);
    into.beginRow();
    for (const FieldValue &value : values)
        into.add(value);
}

} // namespace

void BookListModel::appendBook(const PackedRows &book)
{
    if (book.isEmpty())
        return;
    const int row = m_rows.rowCount();
    beginInsertRows(QModelIndex(), row, row);
    copyFirstRow(book, m_rows);
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

void BookListModel::setBook(int row, const PackedRows &book)
{
    if (row < 0 || row >= m_rows.rowCount() || book.isEmpty())
        return;
    copyFirstRow(book, m_rows);
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

int BookListModel::rowOfNumber(const QString &number) const
{
    bool whole = false;
    const qint64 wanted = number.toLongLong(&whole);
    const int id = bookrow::kFieldCount - 1; // book_id, the last stored field
    for (int row = 0; row < m_rows.rowCount(); ++row) {
        const FieldValue value = m_rows.value(row, id);
        if ((whole && value.type == FieldValue::Integer) ? value.integer == wanted : value.text() == number)
            return row;
    }
    return -1;
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
    // The keys of another column go first: never two sets at once.
    m_keys = Keys();
    const size_t n = size_t(m_rows.rowCount());
    Keys keys;
    keys.column = column;
    keys.starts.resize(n);
    keys.lengths.resize(n);
    // The rows are read in the order their bytes stand, which after a sort
    // is not the order of the list; each key still goes to its row.
    const std::vector<int> order = m_rows.storageOrder();
    // A cell before the codes is one stored value: only that one is read.
    const bool byValue = bookrow::cellIsField(column);
    for (size_t i = 0; i < n; ++i) {
        const int row = order[i];
        if (i == kKeysSampled)
            keys.bytes.reserve(qsizetype(double(keys.bytes.size()) / double(i) * double(n) * 1.1) + 64);
        const qsizetype start = keys.bytes.size();
        if (byValue) {
            FieldValue value = m_rows.value(row, column);
            value.date = m_dates[size_t(column)];
            bookrow::appendValueKey(value, keys.bytes);
        } else {
            bookrow::appendCellKey(fields(row), column, keys.bytes);
        }
        if (keys.bytes.size() > qsizetype(std::numeric_limits<quint32>::max()))
            throw UserError(QStringLiteral("列表中的书籍太多，无法按“%1”排序。").arg(bookrow::header(column)));
        keys.starts[size_t(row)] = quint32(start);
        keys.lengths[size_t(row)] = quint32(keys.bytes.size() - start);
    }
    // Squeezed only when much room is left: squeezing copies the keys.
    if (keys.bytes.capacity() - keys.bytes.size() > keys.bytes.size() / 4)
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
    const quint32 *starts = m_keys.starts.data();
    const quint32 *lengths = m_keys.lengths.data();
    // The first eight bytes of every key as one number, in a small array
    // of its own: most comparisons are settled there, without reaching into
    // the keys spread over the large buffer.
    std::vector<quint64> prefixes(n);
    for (size_t i = 0; i < n; ++i)
        prefixes[i] = keyPrefix(base + starts[i], lengths[i]);
    auto less = [&](int a, int b) {
        if (prefixes[size_t(a)] != prefixes[size_t(b)])
            return prefixes[size_t(a)] < prefixes[size_t(b)];
        if (lengths[a] <= sizeof(quint64) && lengths[b] <= sizeof(quint64))
            return lengths[a] < lengths[b];
        return textorder::compareKeys(base + starts[a], lengths[a], base + starts[b], lengths[b]) < 0;
    };
    if (ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
    std::vector<quint64>().swap(prefixes);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows.reorder(order);
    m_fieldsRow = -1;
    m_textsRow = -1;
    // The keys follow their rows; one copy at a time, to keep the peak low.
    permuted(m_keys.starts, order);
    permuted(m_keys.lengths, order);
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<int> newPosition(n);
        for (size_t i = 0; i < n; ++i)
            newPosition[size_t(order[i])] = int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &old : before)
            after << index(newPosition[size_t(old.row())], old.column());
        changePersistentIndexList(before, after);
    }
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
