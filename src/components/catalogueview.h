#pragma once

#include <QString>

struct BookQuery;

// The main window as the dialogs see it: which book the user picked, and the
// two requests a dialog makes of what the window shows. Changes of the data
// never come through here: the catalogue announces them, and the list and
// the tree follow it.
class CatalogueView
{
public:
    virtual ~CatalogueView() = default;

    // The book number of the list's selected row; "" when none is selected.
    virtual QString selectedBookNumber() const = 0;
    // Opens the book's details window on the book: its row is selected
    // first, the list showing every book when it did not show this one.
    virtual void openBook(const QString &number) = 0;
    // The list is emptied and shows the books the query selects; rows read
    // before an error stay. Returns how many books it shows.
    virtual int listBooks(const BookQuery &query) = 0;
};
