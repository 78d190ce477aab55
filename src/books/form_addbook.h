#pragma once

#include "bookform.h"
#include "components/formdialog.h"

#include <memory>

namespace Ui {
class Tform_addbook;
}

// The dialog in which the user enters a new book. Saving adds it to the
// catalogue, which announces it (the main window's list appends its row); a
// book that seems to be stored already is first asked about. The date
// pickers start empty and are not reset between books: a day the user set
// stays for the next book until cleared, and an empty one stores no date.
class AddBookDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit AddBookDialog(QWidget *parent = nullptr);
    ~AddBookDialog() override;

protected:
    void FormShow() override;

private:
    void enableAdd();
    void addBook();
    // A book the catalogue already holds (see Catalogue::storedAlready) is
    // added only when the user says so; "否" keeps the dialog as typed.
    bool addEvenIfStored(const BookFields &fields);

    std::unique_ptr<Ui::Tform_addbook> ui;
};

extern AddBookDialog *form_addbook;
