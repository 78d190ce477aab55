#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_tjie;
}

// Lending counts: own books, borrowed in, lent out, all books, counted
// afresh on every showing.
class Tform_tjie : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tjie(QWidget *parent = nullptr);
    ~Tform_tjie() override;

    Dataset ado_tjie;

protected:
    void FormShow() override;

private:
    void button_okClick();

    std::unique_ptr<Ui::Tform_tjie> ui;
};

extern Tform_tjie *form_tjie;
