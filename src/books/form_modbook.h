#pragma once

#include "bookform.h"
#include "components/formdialog.h"

#include <memory>

namespace Ui {
class Tform_modbook;
}

// The dialog in which the user changes the book selected in the main
// window's list. Saving writes the fields the user changed, provided the
// stored book still holds what the dialog loaded (otherwise the user is
// asked first); the catalogue announces the change and the list row shows
// the book as stored.
class ChangeBookDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit ChangeBookDialog(QWidget *parent = nullptr);
    ~ChangeBookDialog() override;

protected:
    void FormShow() override;

private:
    void enableSave();
    void saveChanges();
    // The question when another program changed the book meanwhile.
    QString changedMeanwhile(const StoredBook &before, const StoredBook &now) const;

    std::unique_ptr<Ui::Tform_modbook> ui;
    // The book as loaded: as stored, and the controls' texts.
    StoredBook m_loaded;
    BookFields m_shown;
};

extern ChangeBookDialog *form_modbook;
