#pragma once

#include "bookform.h"
#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_modbook;
}

// The dialog in which the user changes the book selected in the main
// window's list. Saving writes the fields the user changed, provided the
// stored book still holds what the dialog loaded (otherwise the user is
// asked first), and rewrites its list row from the stored book.
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
    enum class Outcome { Written, ChangedMeanwhile, Gone };

    void book_nameChange();
    void button_addClick();
    // Opens ado_modbook on the selected row's book; false when the book is
    // no longer in the store.
    bool openSelectedBook();
    // In one transaction: when the stored book still equals expected, writes
    // the changed fields. Otherwise writes nothing and returns what is stored
    // now in current.
    Outcome writeIfUnchanged(const StoredRecord &expected, const BookForm::FieldTexts &changed, StoredRecord &current);
    // The question when another program changed the book meanwhile.
    QString changedMeanwhile(const StoredRecord &before, const StoredRecord &now) const;

    std::unique_ptr<Ui::Tform_modbook> ui;
    // The book as loaded: its stored fields and the controls' texts.
    StoredRecord m_loaded;
    QStringList m_columns;
    BookForm::FieldTexts m_shown;
};

extern Tform_modbook *form_modbook;
