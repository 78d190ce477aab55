#include "bookcolumns.h"

#include "store/bookfields.h"

#include <array>

namespace bookcolumns {
namespace {

struct Column
{
    QStringView name;
    Kind kind;
};

constexpr std::array<Column, kColumnCount> kColumns{{
    {u"book_id", Kind::Number},   {u"book_name", Kind::Text},     {u"book_cate", Kind::Text},
    {u"book_author", Kind::Text}, {u"book_author2", Kind::Text},  {u"book_language", Kind::Text},
    {u"book_isbn", Kind::Text},   {u"book_pub", Kind::Text},      {u"book_pubd", Kind::Date},
    {u"book_pages", Kind::Whole}, {u"book_buya", Kind::Text},     {u"book_buyd", Kind::Date},
    {u"book_value", Kind::Text},  {u"book_rating", Kind::Rating}, {u"book_loan", Kind::Loan},
    {u"book_readed", Kind::Read}, {u"book_reader", Kind::Text},   {u"book_loand", Kind::Date},
    {u"book_note", Kind::Text},
}};

struct Header
{
    QStringView text;
    Target target;
};

// Headers besides the program's own captions and the stored column names:
// the captions of the program's export grid and dialogs, and the usual
// English headers of other programs' exports.
constexpr Header kOtherHeaders[] = {
    {u"名称", Target::Name},
    {u"第一作者", Target::Author},
    {u"借入借出关系人", Target::Reader},
    {u"书友", Target::Reader},
    {u"购买地", Target::BuyPlace},
    {u"借阅日期", Target::LoanDate},
    {u"简介", Target::Note},
    {u"Title", Target::Name},
    {u"Author", Target::Author},
    {u"Additional Authors", Target::Author2},
    {u"ISBN", Target::Isbn},
    {u"ISBN13", Target::Isbn},
    {u"Publisher", Target::Pub},
    {u"Year Published", Target::PubDate},
    {u"Original Publication Year", Target::PubDate},
    {u"Number of Pages", Target::Pages},
    {u"Pages", Target::Pages},
    {u"Language", Target::Language},
    {u"Category", Target::Cate},
    {u"Price", Target::Price},
    {u"Date Added", Target::BuyDate},
    {u"Date Read", Target::ReadDate},
    {u"My Rating", Target::Stars},
    {u"Bookshelves", Target::Shelves},
    {u"Summary", Target::Note},
    {u"Description", Target::Note},
};

bool same(QStringView header, QStringView known)
{
    return header.trimmed().compare(known, Qt::CaseInsensitive) == 0;
}

} // namespace

QStringView columnName(int column)
{
    return kColumns.at(size_t(column)).name;
}

Kind kind(int column)
{
    return kColumns.at(size_t(column)).kind;
}

QString caption(Target target)
{
    switch (target) {
    case Target::None:
        return QStringLiteral("不导入");
    case Target::Stars:
        return QStringLiteral("喜爱程度（按1～5星评分）");
    case Target::Shelves:
        return QStringLiteral("是否已读和分类（按书架）");
    case Target::ReadDate:
        return QStringLiteral("是否已读（按读完日期）");
    default:
        return bookfields::caption(columnName(columnOf(target)));
    }
}

Target targetOf(QStringView header)
{
    for (int column = 1; column < kColumnCount; ++column) {
        if (same(header, columnName(column)) || same(header, bookfields::caption(columnName(column))))
            return Target(column);
    }
    for (const Header &h : kOtherHeaders)
        if (same(header, h.text))
            return h.target;
    return Target::None;
}

bool isKnownHeader(QStringView header)
{
    return targetOf(header) != Target::None || same(header, columnName(0)) ||
           same(header, bookfields::caption(columnName(0)));
}

} // namespace bookcolumns
