// The catalogue's categories and its lists of authors, publishers and book
// friends.
#include "catalogue.h"

#include "store/dataset.h"

namespace {

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

} // namespace

QStringList Catalogue::categoryNames() const
{
    return columnOf(connection(), QStringLiteral("select * from category"), u"cate_name");
}

QStringList Catalogue::names(NameList list) const
{
    switch (list) {
    case NameList::Authors:
        return columnOf(connection(), QStringLiteral("select * from author"), u"author_name");
    case NameList::Publishers:
        return columnOf(connection(), QStringLiteral("select * from pub"), u"pub_name");
    case NameList::Readers:
        break;
    }
    return columnOf(connection(), QStringLiteral("select * from reader"), u"reader_name");
}
