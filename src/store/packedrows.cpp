#include "packedrows.h"

#include "usererror.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>
#include <utility>

namespace {

constexpr unsigned char kNull = 0;
constexpr unsigned char kInteger = 1;
constexpr unsigned char kReal = 2;
constexpr unsigned char kText = 3;

// Whole numbers are zigzag coded, so that small negative numbers stay small.
quint64 zigzag(qint64 value)
{
    return (quint64(value) << 1) ^ quint64(value >> 63);
}

qint64 unzigzag(quint64 value)
{
    return qint64(value >> 1) ^ -qint64(value & 1);
}

const char *readVarint(const char *p, quint64 &value)
{
    value = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(*p++);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return p;
        shift += 7;
    }
}

} // namespace

PackedRows::~PackedRows()
{
    std::free(m_data);
}

PackedRows::PackedRows(PackedRows &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_capacity(std::exchange(other.m_capacity, 0))
    , m_starts(std::move(other.m_starts))
    , m_countAt(std::exchange(other.m_countAt, 0))
    , m_count(std::exchange(other.m_count, 0))
{
    other.m_starts.clear();
}

PackedRows &PackedRows::operator=(PackedRows &&other) noexcept
{
    if (this != &other) {
        std::free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_starts = std::move(other.m_starts);
        other.m_starts.clear();
        m_countAt = std::exchange(other.m_countAt, 0);
        m_count = std::exchange(other.m_count, 0);
    }
    return *this;
}

char *PackedRows::room(qsizetype n)
{
    if (m_size + n > m_capacity) {
        const qsizetype capacity = std::max<qsizetype>({m_size + n, m_capacity * 2, 4096});
        void *grown = std::realloc(m_data, size_t(capacity));
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<char *>(grown);
        m_capacity = capacity;
    }
    char *at = m_data + m_size;
    m_size += n;
    return at;
}

void PackedRows::put(const void *bytes, qsizetype n)
{
    if (n > 0)
        std::memcpy(room(n), bytes, size_t(n));
}

void PackedRows::appendVarint(quint64 value)
{
    char bytes[10];
    int n = 0;
    do {
        const auto low = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
        bytes[n++] = char(value ? (low | 0x80) : low);
    } while (value);
    put(bytes, n);
}

void PackedRows::countValue()
{
    // A row's count is two bytes before its values, kept current as values
    // are added (SQLite gives no result more than 32,767 columns).
    Q_ASSERT(!m_starts.empty());
    ++m_count;
    const auto count = quint16(m_count);
    std::memcpy(m_data + m_countAt, &count, sizeof count);
}

void PackedRows::beginRow()
{
    m_starts.push_back(m_size);
    m_countAt = m_size;
    m_count = 0;
    std::memset(room(2), 0, 2);
}

void PackedRows::addNull()
{
    *room(1) = char(kNull);
    countValue();
}

void PackedRows::addInteger(qint64 value)
{
    *room(1) = char(kInteger);
    appendVarint(zigzag(value));
    countValue();
}

void PackedRows::addReal(double value)
{
    *room(1) = char(kReal);
    put(&value, sizeof value);
    countValue();
}

void PackedRows::addText(QByteArrayView utf8)
{
    *room(1) = char(kText);
    appendVarint(quint64(utf8.size()));
    put(utf8.data(), utf8.size());
    countValue();
}

void PackedRows::add(const FieldValue &value)
{
    switch (value.type) {
    case FieldValue::Null:
        addNull();
        return;
    case FieldValue::Integer:
        addInteger(value.integer);
        return;
    case FieldValue::Real:
        addReal(value.real);
        return;
    case FieldValue::Text:
        addText(value.textBytes());
        return;
    }
}

void PackedRows::moveLastTo(int row)
{
    if (row < 0 || row >= rowCount() - 1)
        throw UserError(QStringLiteral("第 %1 行超出范围。").arg(row));
    m_starts[size_t(row)] = m_starts.back();
    m_starts.pop_back();
}

void PackedRows::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        throw UserError(QStringLiteral("第 %1 行超出范围。").arg(row));
    m_starts.erase(m_starts.begin() + row);
}

void PackedRows::reorder(const std::vector<int> &order)
{
    std::vector<qsizetype> starts(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        starts[i] = m_starts.at(size_t(order[i]));
    m_starts = std::move(starts);
}

void PackedRows::clear()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
    std::vector<qsizetype>().swap(m_starts);
    m_countAt = 0;
    m_count = 0;
}

void PackedRows::squeeze()
{
    // Room is kept for some rows more: a list that gets a book after its
    // fill must not copy every row's offset (or bytes) to grow by one.
    const qsizetype rows = qsizetype(m_starts.size());
    const qsizetype spareRows = std::max<qsizetype>(rows / 32, 64);
    const qsizetype spareBytes = rows > 0 ? spareRows * (m_size / rows + 1) : 0;
    if (m_capacity > m_size + spareBytes && m_size > 0) {
        if (void *shrunk = std::realloc(m_data, size_t(m_size + spareBytes))) {
            m_data = static_cast<char *>(shrunk);
            m_capacity = m_size + spareBytes;
        }
    }
    if (qsizetype(m_starts.capacity()) > rows + spareRows) {
        std::vector<qsizetype> kept;
        kept.reserve(size_t(rows + spareRows));
        kept.assign(m_starts.begin(), m_starts.end());
        m_starts.swap(kept);
    }
}

const char *PackedRows::rowStart(int row, int &count) const
{
    const char *p = m_data + m_starts.at(size_t(row));
    quint16 stored = 0;
    std::memcpy(&stored, p, sizeof stored);
    count = stored;
    return p + sizeof stored;
}

const char *PackedRows::readValue(const char *p, FieldValue &out)
{
    out = FieldValue();
    switch (static_cast<unsigned char>(*p++)) {
    case kInteger: {
        quint64 raw = 0;
        p = readVarint(p, raw);
        out.type = FieldValue::Integer;
        out.integer = unzigzag(raw);
        return p;
    }
    case kReal:
        out.type = FieldValue::Real;
        std::memcpy(&out.real, p, sizeof out.real);
        return p + sizeof out.real;
    case kText: {
        quint64 length = 0;
        p = readVarint(p, length);
        out.type = FieldValue::Text;
        out.bytes = p;
        out.length = qsizetype(length);
        return p + length;
    }
    default:
        return p;
    }
}

std::vector<int> PackedRows::storageOrder() const
{
    const size_t n = m_starts.size();
    std::vector<int> order(n);
    if (std::is_sorted(m_starts.begin(), m_starts.end())) {
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    // A counting sort by where each row starts: the buffer cut into as many
    // equal slices as there are rows, each row put in its slice, the few
    // rows of a slice then put in order among themselves.
    const auto slice = [&](size_t row) {
        return size_t((unsigned __int128)(m_starts[row]) * n / (quint64(m_size) + 1));
    };
    std::vector<int> firsts(n + 1, 0);
    for (size_t row = 0; row < n; ++row)
        ++firsts[slice(row) + 1];
    for (size_t i = 1; i <= n; ++i)
        firsts[i] += firsts[i - 1];
    std::vector<int> next(firsts.begin(), firsts.end() - 1);
    for (size_t row = 0; row < n; ++row)
        order[size_t(next[slice(row)]++)] = int(row);
    const auto byStart = [&](int a, int b) { return m_starts[size_t(a)] < m_starts[size_t(b)]; };
    for (size_t i = 0; i < n; ++i) {
        const auto first = order.begin() + firsts[i], last = order.begin() + firsts[i + 1];
        if (last - first > 1)
            std::sort(first, last, byStart);
    }
    return order;
}

int PackedRows::valueCount(int row) const
{
    int count = 0;
    rowStart(row, count);
    return count;
}

FieldValue PackedRows::value(int row, int column) const
{
    int count = 0;
    const char *p = rowStart(row, count);
    FieldValue out;
    if (column < 0 || column >= count)
        return out;
    for (int i = 0; i <= column; ++i)
        p = readValue(p, out);
    return out;
}

void PackedRows::readRow(int row, std::vector<FieldValue> &values) const
{
    int count = 0;
    const char *p = rowStart(row, count);
    values.resize(size_t(count));
    for (FieldValue &v : values)
        p = readValue(p, v);
}
