// The catalogue's categories and its lists of authors, publishers and book
// friends.
#include "catalogue.h"

#include "bookselect.h"
#include "store/dataset.h"
#include "store/sqlquote.h"
#include "store/transaction.h"

namespace {

// The categories of a name, the first of them first.
const QString kCategoriesNamed = QStringLiteral("select * from category where cate_name=?");

// The table of a name list and its columns.
struct ListTable
{
    QString all;      // every row, in the store's order
    QString byNumber; // the row of a number, bound to its "?"
    QStringView name;
    QStringView number;
};

const ListTable &tableOf(Catalogue::NameList list)
{
    static const ListTable authors{QStringLiteral("select * from author"),
                                   QStringLiteral("select * from author where author_id=?"), u"author_name",
                                   u"author_id"};
    static const ListTable publishers{QStringLiteral("select * from pub"),
                                      QStringLiteral("select * from pub where pub_id=?"), u"pub_name", u"pub_id"};
    static const ListTable readers{QStringLiteral("select * from reader"),
                                   QStringLiteral("select * from reader where reader_id=?"), u"reader_name",
                                   u"reader_id"};
    switch (list) {
    case Catalogue::NameList::Authors:
        return authors;
    case Catalogue::NameList::Publishers:
        return publishers;
    case Catalogue::NameList::Readers:
        break;
    }
    return readers;
}

// The one column of every row of a table, in the store's order.
QStringList columnOf(Connection &connection, const QString &command, QStringView column)
{
    Dataset rows(connection);
    ScopedClose closing(rows);
    rows.setCommandText(command);
    rows.open();
    const int index = rows.fieldIndex(column);
    QStringList texts;
    texts.reserve(rows.recordCount());
    for (; !rows.eof(); rows.next())
        texts << rows.fieldText(index);
    return texts;
}

// The number in the current row's key column.
qint64 numberAt(const Dataset &rows, int column)
{
    const Dataset::Value value = rows.value(column);
    if (value.type == FieldValue::Integer)
        return value.integer;
    return sqlquote::checkedNumber(value.text());
}

} // namespace

QStringList Catalogue::categoryNames() const
{
    return columnOf(connection(), QStringLiteral("select * from category"), u"cate_name");
}

void Catalogue::addCategory(const QString &name)
{
    {
        Dataset rows(writing());
        ScopedClose closing(rows);
        rows.setCommandText(QStringLiteral("select * from category"));
        rows.open();
        rows.append();
        rows.setFieldByName(u"cate_name", name);
        rows.post();
    }
    Q_EMIT categoriesChanged();
}

void Catalogue::renameCategory(const QString &oldName, const QString &newName)
{
    {
        // The category row and every book in one transaction: an error on
        // the way leaves all of them as they were.
        Transaction whole(writing());
        Dataset rows(writing());
        {
            ScopedClose closing(rows);
            rows.setCommandText(kCategoriesNamed, {oldName});
            rows.open();
            // With no category of the old name this starts a new row.
            rows.edit();
            rows.setFieldByName(u"cate_name", newName);
            rows.post();
        }
        {
            ScopedClose closing(rows);
            bookselect::inCategory(rows, oldName);
            rows.open();
            for (int i = 0; i < rows.recordCount(); ++i) {
                rows.edit();
                rows.setFieldByName(u"book_cate", newName);
                rows.post();
                rows.next();
            }
        }
        whole.commit();
    }
    Q_EMIT categoriesChanged();
}

bool Catalogue::removeCategory(const QString &name)
{
    {
        // Looked at and removed in one transaction: no book is filed under
        // the category between the two.
        Transaction whole(writing());
        Dataset rows(writing());
        {
            ScopedClose closing(rows);
            bookselect::inCategory(rows, name);
            rows.open();
            if (rows.recordCount() > 0)
                return false;
        }
        {
            ScopedClose closing(rows);
            rows.setCommandText(kCategoriesNamed, {name});
            rows.open();
            if (rows.recordCount() > 0)
                rows.deleteRecord();
        }
        whole.commit();
    }
    Q_EMIT categoriesChanged();
    return true;
}

QStringList Catalogue::names(NameList list) const
{
    const ListTable &table = tableOf(list);
    return columnOf(connection(), table.all, table.name);
}

QList<Catalogue::NameEntry> Catalogue::nameEntries(NameList list) const
{
    const ListTable &table = tableOf(list);
    Dataset rows(connection());
    ScopedClose closing(rows);
    rows.setCommandText(table.all);
    rows.open();
    const int name = rows.fieldIndex(table.name);
    const int number = rows.fieldIndex(table.number);
    QList<NameEntry> entries;
    entries.reserve(rows.recordCount());
    for (; !rows.eof(); rows.next())
        entries.append({numberAt(rows, number), rows.fieldText(name)});
    return entries;
}

qint64 Catalogue::addName(NameList list, const QString &name)
{
    const ListTable &table = tableOf(list);
    Dataset rows(writing());
    ScopedClose closing(rows);
    rows.setCommandText(table.all);
    rows.open();
    rows.append();
    rows.setFieldByName(table.name, name);
    rows.post();
    // The row reads back as stored, with the number the store gave it.
    return numberAt(rows, rows.fieldIndex(table.number));
}

void Catalogue::removeName(NameList list, qint64 number)
{
    Dataset rows(writing());
    ScopedClose closing(rows);
    rows.setCommandText(tableOf(list).byNumber, {number});
    rows.open();
    if (rows.recordCount() > 0)
        rows.deleteRecord();
}
