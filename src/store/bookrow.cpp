#include "bookrow.h"

#include "codes.h"
#include "dataset.h"

namespace bookrow {

QStringList build(const Fields &book)
{
    QStringList row;
    row.reserve(kColumnCount);
    row << book.name << book.cate << book.author << book.author2 << book.language << book.isbn << book.pub << book.pubd
        << book.pages << book.buya << book.buyd << book.value;
    const QString rating = codes::ratingText(book.rating);
    if (!rating.isNull())
        row << rating;
    const QString loan = codes::loanText(book.loan);
    if (loan.isNull())
        return row;
    row << loan;
    const QString read = codes::readText(book.readed);
    if (!read.isNull())
        row << read;
    row << (book.loan == codes::kOwnCopy ? QString() : book.reader);
    row << book.id;
    return row;
}

RecordReader::RecordReader(const Dataset &dataset)
    : m_dataset(dataset)
{
    static constexpr std::array<QStringView, kColumnCount> names{
        u"book_name",   u"book_cate", u"book_author", u"book_author2", u"book_language", u"book_isbn",
        u"book_pub",    u"book_pubd", u"book_pages",  u"book_buya",    u"book_buyd",     u"book_value",
        u"book_rating", u"book_loan", u"book_readed", u"book_reader",  u"book_id"};
    for (size_t i = 0; i < names.size(); ++i)
        m_index[i] = dataset.fieldIndex(names[i]);
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
