#pragma once

#include "bookform.h"
#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_addbook;
}

// The dialog in which the user enters a new book. Saving appends it to the
// store and its row to the end of the main window's book list; a book that
// seems to be stored already is first asked about.
class Tform_addbook : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_addbook(QWidget *parent = nullptr);
    ~Tform_addbook() override;

    Dataset ado_addbook;

protected:
    void FormShow() override;

private:
    void book_nameChange();
    void button_addClick();
    // A book the catalogue already holds (same ISBN, or same title and first
    // author) is added only when the user says so; "否" keeps the dialog as
    // typed.
    bool addEvenIfStored(const BookForm::FieldTexts &fields);

    std::unique_ptr<Ui::Tform_addbook> ui;
};

extern Tform_addbook *form_addbook;
