#include "duplicatebook.h"

#include "store/dataset.h"
#include "store/isbn.h"

namespace duplicatebook {
namespace {

QString describe(const Dataset &book)
{
    QString text = QStringLiteral("《%1》").arg(book.fieldByName(u"book_name"));
    const QString author = book.fieldByName(u"book_author");
    const QString number = book.fieldByName(u"book_isbn");
    if (!author.isEmpty())
        text += QStringLiteral("，作者：%1").arg(author);
    if (!number.isEmpty())
        text += QStringLiteral("，ISBN：%1").arg(number);
    return text + QStringLiteral("，编号：%1").arg(book.fieldByName(u"book_id"));
}

// The first book the query finds, described; "" for none.
QString first(const QString &sql, const QVariantList &values)
{
    Dataset found;
    ScopedClose closing(found);
    found.setCommandText(sql, values);
    found.open();
    return found.recordCount() > 0 ? describe(found) : QString();
}

} // namespace

QString find(const QString &title, const QString &author, const QString &number)
{
    // The stored ISBN is compared without its hyphens and blanks, in both
    // forms of the number typed: an ISBN-10 also as its ISBN-13, an ISBN-13
    // of the 978 range also as its ISBN-10.
    if (isbn::kindOf(number) != isbn::Kind::None) {
        const QString key = isbn::key(number);
        QString other = isbn::toIsbn10(key);
        if (other.isEmpty())
            other = isbn::compact(number);
        const QString byIsbn =
            first(QStringLiteral("select book_id, book_name, book_author, book_isbn from book "
                                 "where upper(replace(replace(replace(book_isbn, '-', ''), ' ', ''), char(9), '')) "
                                 "in (?, ?) order by book_id limit 1"),
                  {key, other});
        if (!byIsbn.isEmpty())
            return byIsbn;
    }
    return first(QStringLiteral("select book_id, book_name, book_author, book_isbn from book "
                                "where book_name = ? and coalesce(book_author, '') = ? order by book_id limit 1"),
                 {title, author});
}

} // namespace duplicatebook
