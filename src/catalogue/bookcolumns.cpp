#include "bookcolumns.h"

#include "store/bookfields.h"

#include <QHash>

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
// the captions of the program's export grid and dialogs, and the headers of
// other programs' exports. Those with the target None are known and have no
// place in a book: the import window lists them as not imported.
constexpr Header kOtherHeaders[] = {
    // The program's other captions, and the usual Chinese words.
    {u"名称", Target::Name},
    {u"第一作者", Target::Author},
    {u"借入借出关系人", Target::Reader},
    {u"书友", Target::Reader},
    {u"购买地", Target::BuyPlace},
    {u"借阅日期", Target::LoanDate},
    {u"简介", Target::Note},
    {u"出版年", Target::PubDate},
    {u"出版时间", Target::PubDate},
    {u"定价", Target::Price},
    {u"译者", Target::Author2},
    {u"标签", Target::None},
    {u"评分", Target::None}, // a site's average, not the owner's
    {u"天数", Target::None}, // the loan overview's days out
    // Common English headers.
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
    {u"Date Read", Target::ReadDate},
    {u"My Rating", Target::Stars},
    {u"Exclusive Shelf", Target::Shelves},
    {u"Original Purchase Date", Target::BuyDate},
    {u"Original Purchase Location", Target::BuyPlace},
    {u"Summary", Target::Note},
    {u"Description", Target::Note},
    {u"Book Id", Target::None},
    {u"Author l-f", Target::None},
    {u"Average Rating", Target::None},
    {u"Binding", Target::None},
    {u"Date Added", Target::None},  // the day it went on a list, not a purchase
    {u"Bookshelves", Target::None}, // several shelves are not one category
    {u"Bookshelves with positions", Target::None},
    {u"My Review", Target::None},
    {u"Spoiler", Target::None},
    {u"Private Notes", Target::None},
    {u"Read Count", Target::None},
    {u"Owned Copies", Target::None},
    // Catalogues with lower-case column names.
    {u"authors", Target::Authors},
    {u"author_details", Target::Authors},
    {u"title_sort", Target::None},
    {u"author_sort", Target::None},
    {u"date_published", Target::PubDate},
    {u"pubdate", Target::PubDate},
    {u"publication_year", Target::PubDate},
    {u"year", Target::PubDate},
    {u"read", Target::ReadFlag},
    {u"rating", Target::Stars},
    {u"loaned_to", Target::LoanedTo},
    {u"bookshelf", Target::Cate},
    {u"tags", Target::None}, // several tags are not one category
    {u"comments", Target::Note},
    {u"languages", Target::Language},
    {u"list_price", Target::Price},
    {u"read_end", Target::ReadDate},
    {u"finish_date", Target::ReadDate},
    {u"id", Target::None},
    {u"_id", Target::None},
    {u"uuid", Target::None},
    {u"book_uuid", Target::None},
    {u"cover", Target::None},
    {u"formats", Target::None},
    {u"size", Target::None},
    {u"identifiers", Target::None},
    {u"library_name", Target::None},
    {u"series", Target::None},
    {u"series_index", Target::None},
    {u"series_details", Target::None},
    {u"timestamp", Target::None},
    {u"date_added", Target::None},
    {u"bookshelf_id", Target::None},
    {u"notes", Target::None},
    {u"genre", Target::None},
    {u"location", Target::None},
    {u"format", Target::None},
    {u"signed", Target::None},
    {u"read_start", Target::None},
    {u"anthology", Target::None},
    {u"anthology_titles", Target::None},
    {u"goodreads_book_id", Target::None},
    {u"last_update_date", Target::None},
    // A catalogue of shelves: its tab-separated and older exports.
    {u"AUTHOR (last, first)", Target::Author},
    {u"AUTHOR (first, last)", Target::None},
    {u"Primary Author", Target::Author},
    {u"Secondary Author", Target::Author2},
    {u"DATE", Target::PubDate},
    {u"PUBLICATION INFO", Target::PubInfo},
    {u"Publication", Target::PubInfo},
    {u"ISBNs", Target::Isbn},
    {u"Page Count", Target::Pages},
    {u"Acquired", Target::BuyDate},
    {u"Purchase Price", Target::Price},
    {u"REVIEW", Target::None},
    {u"Comment", Target::None},
    {u"Private Comment", Target::None},
    {u"ENTRY DATE", Target::None},
    {u"LCC", Target::None},
    {u"DDC", Target::None},
    {u"Collections", Target::None},
    {u"Sort Character", Target::None},
};

// A header as it is compared: without blanks, quotes and invisible
// characters around or in it.
QString plainHeader(QStringView header)
{
    QString out;
    out.reserve(header.size());
    for (const QChar c : header) {
        const char16_t u = c.unicode();
        if (u == 0xFEFF || u == 0xFFFE || u == 0x200B || u == 0x200C || u == 0x200D || u == 0x200E || u == 0x200F ||
            u == 0x2060)
            continue;
        out.append(u == 0x00A0 || u == 0x3000 ? QChar(u' ') : c);
    }
    out = out.trimmed();
    while (out.size() >= 2 && ((out.startsWith(QLatin1Char('\'')) && out.endsWith(QLatin1Char('\''))) ||
                               (out.startsWith(QLatin1Char('"')) && out.endsWith(QLatin1Char('"')))))
        out = out.sliced(1, out.size() - 2).trimmed();
    return out;
}

bool same(QStringView plain, QStringView known)
{
    return plain.compare(known, Qt::CaseInsensitive) == 0;
}

// Every header the program knows, case-folded, with its target: the
// database's column names and the program's captions first, then the other
// programs' headers; where two give one text, the first holds. The
// identifier column is known and imported nowhere. Made once: a file may
// have two thousand columns, each looked up here.
const QHash<QString, Target> &knownHeaders()
{
    static const QHash<QString, Target> headers = [] {
        QHash<QString, Target> out;
        const auto add = [&](QStringView text, Target target) {
            const QString key = text.toString().toCaseFolded();
            if (!out.contains(key))
                out.insert(key, target);
        };
        for (int column = 1; column < kColumnCount; ++column) {
            add(columnName(column), Target(column));
            add(bookfields::caption(columnName(column)), Target(column));
        }
        for (const Header &h : kOtherHeaders)
            add(h.text, h.target);
        add(columnName(0), Target::None);
        add(bookfields::caption(columnName(0)), Target::None);
        return out;
    }();
    return headers;
}

// The target of a plain header, compared without regard to case; known
// tells whether it is one at all.
Target find(const QString &plain, bool &known)
{
    const QHash<QString, Target> &headers = knownHeaders();
    const auto it = headers.constFind(plain.toCaseFolded());
    known = it != headers.cend();
    return known ? *it : Target::None;
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
        return QStringLiteral("是否已读（按书架）");
    case Target::ReadDate:
        return QStringLiteral("是否已读（按读完日期）");
    case Target::Stars10:
        return QStringLiteral("喜爱程度（按0～10分评分）");
    case Target::ReadFlag:
        return QStringLiteral("是否已读（是或否）");
    case Target::Authors:
        return QStringLiteral("作者和第二作者（多位作者）");
    case Target::LoanedTo:
        return QStringLiteral("已借出给（书友）");
    case Target::PubInfo:
        return QStringLiteral("出版社（按出版信息）");
    default:
        return bookfields::caption(columnName(columnOf(target)));
    }
}

Target targetOf(QStringView header)
{
    bool known = false;
    return find(plainHeader(header), known);
}

bool isKnownHeader(QStringView header)
{
    bool known = false;
    find(plainHeader(header), known);
    return known;
}

bool isPointsCatalogue(const std::vector<QStringView> &headers)
{
    for (const QStringView h : headers) {
        const QString plain = plainHeader(h);
        if (same(plain, u"title_sort") || same(plain, u"author_sort") || same(plain, u"series_index") ||
            same(plain, u"library_name"))
            return true;
    }
    return false;
}

Target ratingTarget(QStringView header, bool pointsCatalogue)
{
    const Target target = targetOf(header);
    return pointsCatalogue && target == Target::Stars && same(plainHeader(header), u"rating") ? Target::Stars10
                                                                                              : target;
}

} // namespace bookcolumns
