#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class Tform_find;
}

// The book search: finds the books whose title, and optionally category,
// authors, summary or lending counterparty, hold a word, and puts them into
// the main window's book list in place of what it showed.
class Tform_find : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_find(QWidget *parent = nullptr);
    ~Tform_find() override;

protected:
    void FormShow() override;

private:
    void edit_findChange();
    void button_okClick();
    void button_closeClick();

    std::unique_ptr<Ui::Tform_find> ui;
};

extern Tform_find *form_find;
