#include "bookrow.h"

#include "codes.h"
#include "datetext.h"

#include <QStringEncoder>

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
// put(text) and endCell().
template <class Record, class Out> void assemble(const Record &record, Out &out)
{
    for (int f = Name; f <= Value; ++f) {
        record.put(Field(f), out);
        out.endCell();
    }
    const QStringView rating = codes::ratingName(record.code(RatingCode));
    if (!rating.isNull()) {
        out.put(rating);
        out.endCell();
    }
    const int loan = record.code(LoanCode);
    const QStringView loanText = codes::loanName(loan);
    if (loanText.isNull())
        return;
    out.put(loanText);
    out.endCell();
    const QStringView read = codes::readName(record.code(ReadCode));
    if (!read.isNull()) {
        out.put(read);
        out.endCell();
    }
    if (loan != codes::kOwnCopy)
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
    void endCell() { row << std::exchange(cell, QString()); }
};

// A scanned row, written into the packed row's buffer.
struct RowRecord
{
    const Dataset::Row &row;
    const std::array<int, kColumnCount> &index;

    int code(Field f) const
    {
        const Dataset::Value v = row.value(index[size_t(f)]);
        switch (v.type) {
        case Dataset::Value::Integer:
            return v.integer >= 1 && v.integer <= 9 ? int(v.integer) : 0;
        case Dataset::Value::Text:
            return v.length == 1 && v.bytes[0] >= '1' && v.bytes[0] <= '9' ? v.bytes[0] - '0' : 0;
        case Dataset::Value::Real:
            return codes::number(v.text());
        case Dataset::Value::Null:
            return 0;
        }
        return 0;
    }
    template <class Out> void put(Field f, Out &out) const { out.put(row.value(index[size_t(f)])); }
};

// A row written as UTF-8 texts into packed rows.
struct PackedOut
{
    PackedRows &rows;
    QByteArray &cell;
    QStringEncoder utf8{QStringEncoder::Utf8};

    void put(QStringView text)
    {
        const qsizetype start = cell.size();
        cell.resize(start + utf8.requiredSpace(text.size()));
        char *const end = utf8.appendToBuffer(cell.data() + start, text);
        cell.truncate(end - cell.constData());
    }
    void put(const FieldValue &v)
    {
        switch (v.type) {
        case FieldValue::Null:
            return;
        case FieldValue::Text:
            if (v.date) {
                const QDate date = datetext::parseIso(std::string_view(v.bytes, size_t(v.length)));
                QChar shown[64];
                const qsizetype n = date.isValid() ? datetext::formatTo(date, shown, 64) : -1;
                if (n >= 0)
                    put(QStringView(shown, n));
                else
                    put(v.text());
                return;
            }
            cell.append(v.textBytes());
            return;
        case FieldValue::Integer:
            cell.append(QByteArray::number(v.integer));
            return;
        case FieldValue::Real:
            put(v.text());
            return;
        }
    }
    void endCell()
    {
        rows.addText(cell);
        cell.resize(0);
    }
};

} // namespace

QStringList build(const Fields &book)
{
    ListOut out;
    assemble(FieldsRecord{book}, out);
    return out.row;
}

void appendRow(PackedRows &rows, const QStringList &texts)
{
    rows.beginRow();
    const int count = std::min<int>(int(texts.size()), kColumnCount);
    for (int i = 0; i < count; ++i)
        rows.addText(texts[i].toUtf8());
}

QStringList rowTexts(const PackedRows &rows, int row)
{
    std::vector<FieldValue> values;
    rows.readRow(row, values);
    QStringList texts;
    texts.reserve(qsizetype(values.size()));
    for (const FieldValue &v : values)
        texts << v.text();
    return texts;
}

void PackedBuilder::build(const Dataset::Row &row, PackedRows &rows)
{
    if (!m_resolved) {
        for (size_t i = 0; i < kFieldNames.size(); ++i)
            m_index[i] = row.fieldIndex(kFieldNames[i]);
        m_resolved = true;
    }
    rows.beginRow();
    PackedOut out{rows, m_cell};
    assemble(RowRecord{row, m_index}, out);
}

RecordReader::RecordReader(const Dataset &dataset)
    : m_dataset(dataset)
{
    for (size_t i = 0; i < kFieldNames.size(); ++i)
        m_index[i] = dataset.fieldIndex(kFieldNames[i]);
}

Fields RecordReader::read() const
{
    auto text = [&](int i) { return m_dataset.fieldText(m_index[size_t(i)]); };
    return Fields{text(0), text(1),  text(2),  text(3),  text(4),  text(5),  text(6),  text(7), text(8),
                  text(9), text(10), text(11), text(12), text(13), text(14), text(15), text(16)};
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
