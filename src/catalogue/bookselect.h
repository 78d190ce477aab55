#pragma once

#include "store/dataset.h"

// The selections of whole books that several operations start from, each
// written once.
namespace bookselect {

// The stored book of one number: read, list row, change, delete, return
// from loan.
inline void byNumber(Dataset &books, qint64 id)
{
    books.setCommandText(QStringLiteral("select * from book where book_id=?"), {id});
}

// Opens the dataset on it; false when no book has the number.
inline bool openByNumber(Dataset &books, qint64 id)
{
    byNumber(books, id);
    books.open();
    return books.recordCount() > 0;
}

// The books filed under a category, by its exact text, whatever it holds:
// the category's list, and the books a rename moves or a removal looks for.
inline void inCategory(Dataset &books, const QString &category)
{
    books.setCommandText(QStringLiteral("select * from book where book_cate=?"), {category});
}

} // namespace bookselect
