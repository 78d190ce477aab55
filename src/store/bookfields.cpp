#include "bookfields.h"

#include "codes.h"

#include <array>

namespace bookfields {
namespace {

struct Field
{
    QStringView column;
    QStringView caption;
};

constexpr std::array<Field, 19> kFields{{
    {u"book_id", u"编号"},         {u"book_name", u"书名"},        {u"book_cate", u"分类"},
    {u"book_author", u"作者"},     {u"book_author2", u"第二作者"}, {u"book_language", u"语言"},
    {u"book_isbn", u"ISBN"},       {u"book_pub", u"出版社"},       {u"book_pubd", u"出版日期"},
    {u"book_pages", u"页数"},      {u"book_buya", u"购买地点"},    {u"book_buyd", u"购买日期"},
    {u"book_value", u"价格"},      {u"book_rating", u"喜爱程度"},  {u"book_loan", u"借入借出"},
    {u"book_readed", u"是否已读"}, {u"book_reader", u"关系人"},    {u"book_loand", u"借入借出日期"},
    {u"book_note", u"内容简介"},
}};

} // namespace

QString caption(QStringView column)
{
    for (const Field &f : kFields)
        if (f.column.compare(column, Qt::CaseInsensitive) == 0)
            return f.caption.toString();
    return column.toString();
}

QString shownText(QStringView column, const QString &text)
{
    QString code;
    if (column == u"book_rating")
        code = codes::ratingText(text);
    else if (column == u"book_loan")
        code = codes::loanText(text);
    else if (column == u"book_readed")
        code = codes::readText(text);
    return code.isNull() ? text : code;
}

} // namespace bookfields
