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
    // One pass over the books. The stored ISBN is compared without its
    // hyphens and blanks, with every form the number typed may stand in:
    // its ISBN-13, its ISBN-10 (X or x); a book with the same ISBN comes
    // before one with the same title and author.
    const QString byTitle = QStringLiteral("book_name = ? and coalesce(book_author, '') = ?");
    if (isbn::kindOf(number) == isbn::Kind::None)
        return first(QStringLiteral("select book_id, book_name, book_author, book_isbn from book where %1 "
                                    "order by book_id limit 1")
                         .arg(byTitle),
                     {title, author});
    const QString thirteen = isbn::key(number);
    QString ten = isbn::toIsbn10(thirteen);
    if (ten.isEmpty())
        ten = isbn::compact(number);
    const QString sameIsbn = QStringLiteral("replace(replace(book_isbn, '-', ''), ' ', '') in (?, ?, ?)");
    const QVariantList forms{thirteen, ten, ten.toLower()};
    return first(QStringLiteral("select book_id, book_name, book_author, book_isbn from book "
                                "where %1 or (%2) order by %1 desc, book_id limit 1")
                     .arg(sameIsbn, byTitle),
                 forms + QVariantList{title, author} + forms);
}

} // namespace duplicatebook
