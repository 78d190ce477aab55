// The catalogue's books one at a time: read, added, changed, deleted, and
// whether a new one is stored already.
#include "catalogue.h"

#include "bookselect.h"
#include "store/bookrow.h"
#include "store/dataset.h"
#include "store/transaction.h"

namespace {

StoredBook storedBook(const Dataset &books, qint64 id)
{
    StoredBook book;
    book.id = id;
    for (int column = 0; column < books.fieldCount(); ++column)
        book.columns << books.fieldName(column);
    book.values = storedRecord(books);
    return book;
}

void write(Dataset &books, const BookFields &fields)
{
    for (const BookField &field : fields)
        books.setFieldByName(field.column, field.text);
}

} // namespace

std::optional<StoredBook> Catalogue::book(qint64 id) const
{
    Dataset books(connection());
    ScopedClose closing(books);
    if (!bookselect::openByNumber(books, id))
        return std::nullopt;
    return storedBook(books, id);
}

bool Catalogue::readBookRow(qint64 id, PackedRows &into) const
{
    Dataset books(connection());
    bookselect::byNumber(books, id);
    bookrow::FieldReader reader;
    bool found = false;
    books.scan([&](const Dataset::Row &row) {
        if (std::exchange(found, true))
            return;
        reader.read(row, into);
    });
    return found;
}

bool Catalogue::hasBooks() const
{
    Dataset books(connection());
    ScopedClose closing(books);
    books.setCommandText(QStringLiteral("select exists (select 1 from book)"));
    books.open();
    return books.fieldText(0) == QLatin1String("1");
}

qint64 Catalogue::addBook(const BookFields &fields)
{
    qint64 id = 0;
    {
        Dataset books(writing());
        ScopedClose closing(books);
        books.setCommandText(QStringLiteral("select * from book"));
        books.open();
        books.append();
        write(books, fields);
        books.post();
        id = books.fieldByName(u"book_id").toLongLong();
    }
    Q_EMIT bookAdded(id);
    return id;
}

Catalogue::Change Catalogue::changeBook(const StoredBook &expected, const BookFields &changed, StoredBook &current)
{
    {
        Dataset books(writing());
        Transaction whole(writing());
        ScopedClose closing(books);
        if (!bookselect::openByNumber(books, expected.id))
            return Change::Gone;
        current = storedBook(books, expected.id);
        // Nothing of the user's to write: whatever another program stored
        // stays.
        if (current != expected && !changed.isEmpty())
            return Change::ChangedMeanwhile;
        if (!changed.isEmpty()) {
            books.edit();
            write(books, changed);
            books.post();
            current = storedBook(books, expected.id);
        }
        whole.commit();
    }
    // The list row follows what was written, and what another program
    // stored meanwhile.
    if (!changed.isEmpty() || current != expected)
        Q_EMIT bookChanged(expected.id);
    return Change::Written;
}

bool Catalogue::removeBook(qint64 id)
{
    bool there = false;
    {
        Dataset books(writing());
        ScopedClose closing(books);
        there = bookselect::openByNumber(books, id);
        if (there)
            books.deleteRecord();
    }
    Q_EMIT bookRemoved(id);
    return there;
}

std::optional<storedalready::Match> Catalogue::storedAlready(const QString &title, const QString &author,
                                                             const QString &isbn) const
{
    if (!m_finder)
        m_finder = std::make_unique<storedalready::Finder>(connection());
    return m_finder->findDescribed(title, author, isbn);
}

void Catalogue::prepareIndexes(const std::function<void()> &progress)
{
    storedalready::prepareIndexes(writing(), progress);
    // The questions are prepared again: a statement made before the indexes
    // would not know them.
    m_finder.reset();
}
