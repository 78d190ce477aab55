// The catalogue's books as the book list shows them.
#include "bookquery.h"
#include "catalogue.h"

#include "bookselect.h"
#include "store/bookrow.h"
#include "store/dataset.h"

static_assert(std::tuple_size_v<Catalogue::DateFields> == bookrow::kFieldCount);

namespace {

// The command of a query and the values bound to it.
void setCommand(Dataset &books, const BookQuery &query)
{
    switch (query.kind) {
    case BookQuery::Kind::All:
        books.setCommandText(QStringLiteral("select * from book"));
        return;
    case BookQuery::Kind::InCategory:
        bookselect::inCategory(books, query.text);
        return;
    case BookQuery::Kind::Matching:
        break;
    }
    const findcommand::Command command = findcommand::build(query.text, query.options);
    books.setCommandText(command.text, command.values);
}

} // namespace

void Catalogue::readBookRows(const BookQuery &query, PackedRows &into, DateFields &dates) const
{
    Dataset books(connection());
    setCommand(books, query);
    bookrow::FieldReader reader;
    bool first = true;
    books.scan([&](const Dataset::Row &row) {
        reader.read(row, into);
        if (std::exchange(first, false))
            for (int f = 0; f < bookrow::kFieldCount; ++f)
                dates[size_t(f)] = reader.isDate(f);
    });
}
