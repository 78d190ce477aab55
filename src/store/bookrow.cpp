#include "bookrow.h"

#include "codes.h"
#include "datetext.h"

#include "textorder.h"

#include <QStringDecoder>

namespace bookrow {
namespace {

// The book's fields in the order the row rule reads them; the first twelve
// are shown as stored.
enum Field {
    Name,
    Cate,
    Author_,
    Author2_,
    Language_,
    Isbn_,
    Pub,
    Pubd,
    Pages_,
    Buya,
    Buyd,
    Value,
    RatingCode,
    LoanCode,
    ReadCode,
    Reader,
    Id
};

constexpr std::array<QStringView, kColumnCount> kFieldNames{
    u"book_name",   u"book_cate", u"book_author", u"book_author2", u"book_language", u"book_isbn",
    u"book_pub",    u"book_pubd", u"book_pages",  u"book_buya",    u"book_buyd",     u"book_value",
    u"book_rating", u"book_loan", u"book_readed", u"book_reader",  u"book_id"};

// The row rule, once, for every kind of record and output. A record offers
// code(field), the code its field stands for (0 for none), and
// put(field, out), which writes the field's text; an output offers
// put(text) and endCell(). Every row has all 17 cells, each in its column:
// a code cell shows the code's text when the stored value is a known code,
// and otherwise the stored value as it is (no value shows as an empty cell).
template <class Record, class Out> void assemble(const Record &record, Out &out)
{
    for (int f = Name; f <= Value; ++f) {
        record.put(Field(f), out);
        out.endCell();
    }
    const auto putCode = [&](Field f, QStringView (*name)(int)) {
        const QStringView text = name(record.code(f));
        if (text.isNull())
            record.put(f, out);
        else
            out.put(text);
        out.endCell();
    };
    putCode(RatingCode, codes::ratingName);
    putCode(LoanCode, codes::loanName);
    putCode(ReadCode, codes::readName);
    // The counterpart of an own copy is hidden; for any other loan code,
    // known or not, the stored reader shows.
    if (record.code(LoanCode) != codes::kOwnCopy)
        record.put(Reader, out);
    out.endCell();
    record.put(Id, out);
    out.endCell();
}

// Fields as texts, written into a list of strings.
struct FieldsRecord
{
    const Fields &book;

    const QString &text(Field f) const
    {
        const std::array<const QString *, kColumnCount> fields{
            &book.name,   &book.cate, &book.author, &book.author2, &book.language, &book.isbn,
            &book.pub,    &book.pubd, &book.pages,  &book.buya,    &book.buyd,     &book.value,
            &book.rating, &book.loan, &book.readed, &book.reader,  &book.id};
        return *fields[size_t(f)];
    }
    int code(Field f) const { return codes::number(text(f)); }
    template <class Out> void put(Field f, Out &out) const { out.put(text(f)); }
};

struct ListOut
{
    QStringList row;
    QString cell;
    void put(QStringView text) { cell += text; }
    void put(const FieldValue &v) { cell += v.text(); }
    void endCell() { row << std::exchange(cell, QString()); }
};

// Stored fields, in the rule's order.
struct StoredRecord
{
    const StoredFields &fields;

    int code(Field f) const
    {
        const FieldValue &v = fields[size_t(f)];
        switch (v.type) {
        case FieldValue::Integer:
            return v.integer >= 1 && v.integer <= 9 ? int(v.integer) : 0;
        case FieldValue::Text:
            return v.length == 1 && v.bytes[0] >= '1' && v.bytes[0] <= '9' ? v.bytes[0] - '0' : 0;
        case FieldValue::Real:
            return codes::number(v.text());
        case FieldValue::Null:
            return 0;
        }
        return 0;
    }
    template <class Out> void put(Field f, Out &out) const { out.put(fields[size_t(f)]); }
};

} // namespace

void appendValueKey(const FieldValue &v, QByteArray &key)
{
    thread_local std::vector<QChar> scratch;
    switch (v.type) {
    case FieldValue::Null:
        return;
    case FieldValue::Text:
        if (v.date) {
            const QDate date = datetext::parseIso(std::string_view(v.bytes, size_t(v.length)));
            QChar shown[64];
            const qsizetype n = date.isValid() ? datetext::formatTo(date, shown, 64) : -1;
            if (n >= 0)
                textorder::appendKey(QStringView(shown, n), key);
            else
                textorder::appendKey(v.text(), key);
            return;
        }
        {
            // UTF-8 never takes more UTF-16 units than it has bytes.
            scratch.resize(size_t(v.length));
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QChar *end = utf8.appendToBuffer(scratch.data(), v.textBytes());
            textorder::appendKey(QStringView(scratch.data(), end - scratch.data()), key);
        }
        return;
    case FieldValue::Integer:
        key.append(QByteArray::number(v.integer));
        return;
    case FieldValue::Real:
        textorder::appendKey(v.text(), key);
        return;
    }
}

namespace {

// Writes the sort key of one cell of the row.
struct KeyOut
{
    int wanted;
    QByteArray &key;
    int at = 0;

    void put(QStringView text)
    {
        if (at == wanted)
            textorder::appendKey(text, key);
    }
    void put(const FieldValue &v)
    {
        if (at == wanted)
            appendValueKey(v, key);
    }
    void endCell() { ++at; }
};

} // namespace

QStringList build(const Fields &book)
{
    ListOut out;
    assemble(FieldsRecord{book}, out);
    return out.row;
}

QStringList build(const StoredFields &fields)
{
    ListOut out;
    assemble(StoredRecord{fields}, out);
    return out.row;
}

int loanCode(const StoredFields &fields)
{
    const int code = StoredRecord{fields}.code(LoanCode);
    return codes::loanName(code).isNull() ? 0 : code;
}

void appendCellKey(const StoredFields &fields, int column, QByteArray &key)
{
    KeyOut out{column, key};
    assemble(StoredRecord{fields}, out);
}

void FieldReader::read(const Dataset::Row &row, PackedRows &into)
{
    if (!m_resolved) {
        for (size_t i = 0; i < kFieldNames.size(); ++i) {
            m_index[i] = row.fieldIndex(kFieldNames[i]);
            m_dates[i] = row.value(m_index[i]).date;
        }
        m_resolved = true;
    }
    into.beginRow();
    for (const int column : m_index)
        into.add(row.value(column));
}

void FieldReader::read(const Dataset &dataset, PackedRows &into)
{
    into.beginRow();
    for (size_t i = 0; i < kFieldNames.size(); ++i) {
        const FieldValue value = dataset.value(dataset.fieldIndex(kFieldNames[i]));
        m_dates[i] = value.date;
        into.add(value);
    }
}

void appendFields(const Fields &book, PackedRows &into)
{
    const FieldsRecord record{book};
    into.beginRow();
    for (int f = Name; f <= Id; ++f)
        into.addText(record.text(Field(f)).toUtf8());
}

QString header(int column)
{
    static constexpr std::array<const char16_t *, kColumnCount> headers{
        u"书名",     u"分类",     u"作者", u"第二作者", u"语言",     u"ISBN",     u"出版社", u"出版日期", u"页数",
        u"购买地点", u"购买日期", u"价格", u"喜爱程度", u"借入借出", u"是否已读", u"关系人", u"编号"};
    return QString::fromUtf16(headers.at(size_t(column)));
}

int initialWidth(int column)
{
    static constexpr std::array<int, kColumnCount> widths{150, 70, 70, 70, 70, 70, 70, 70, 50,
                                                          70,  70, 50, 70, 70, 70, 50, 50};
    return widths.at(size_t(column));
}

} // namespace bookrow
