#pragma once

#include <QString>

struct BookQuery;

// The main window's view of the catalogue, as the dialogs that change the
// catalogue see it: they are handed one, read the selection from it, and
// tell it what they stored. The view then changes its own list and tree: one
// row appended or rewritten from the stored book, one node added or renamed;
// it is never refilled for a change of one book; an import of many refills
// it.
class CatalogueView
{
public:
    virtual ~CatalogueView() = default;

    // The book number of the list's selected row; "" when none is selected.
    virtual QString selectedBookNumber() const = 0;
    // The text of the tree's selected node; "" when none is selected.
    virtual QString selectedCategory() const = 0;

    // A book was stored: its row goes at the end of the list.
    virtual void bookAdded(const QString &number) = 0;
    // The book of the selected row was changed: the row shows it as stored.
    virtual void bookChanged(const QString &number) = 0;
    // A book was changed elsewhere than in its selected row (the loan
    // overview): its row, when the list shows it, shows it as stored.
    virtual void bookStored(const QString &number) = 0;
    // A book was deleted elsewhere: its row, when the list shows it, goes.
    virtual void bookDeleted(const QString &number) = 0;
    // Opens the book's details window on the book: its row is selected
    // first, the list showing every book when it did not show this one.
    virtual void openBook(const QString &number) = 0;
    // A category was stored: its node goes under the tree's root.
    virtual void categoryAdded(const QString &name) = 0;
    // The category of the selected node was renamed.
    virtual void categoryRenamed(const QString &oldName, const QString &newName) = 0;
    // The list is emptied and shows the books the query selects; rows read
    // before an error stay.
    virtual void listBooks(const BookQuery &query) = 0;
    // Books were added in number, with the categories they name: the tree
    // and the list are filled again from the catalogue, the list with every
    // book.
    virtual void booksImported() = 0;
};
