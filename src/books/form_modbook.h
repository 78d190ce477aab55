#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_modbook;
}

// The dialog in which the user changes the book selected in the main
// window's list. Saving rewrites the stored book and its list row in place.
class Tform_modbook : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_modbook(QWidget *parent = nullptr);
    ~Tform_modbook() override;

    Dataset ado_modbook;

protected:
    void FormShow() override;

private:
    void book_nameChange();
    void button_addClick();
    // Opens ado_modbook on the selected row's book; false when the book is
    // no longer in the store (the user has been told).
    bool openSelectedBook();

    std::unique_ptr<Ui::Tform_modbook> ui;
};

extern Tform_modbook *form_modbook;
