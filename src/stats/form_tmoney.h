#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_tmoney;
}

// Purchase money: the number of books, the sum of their prices and the
// average per book, computed afresh on every showing. Prices are free text;
// those that are no number are left out of the sum and named in a message.
class Tform_tmoney : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tmoney(QWidget *parent = nullptr);
    ~Tform_tmoney() override;

    Dataset ado_tmoney;

protected:
    void FormShow() override;

private:
    void button_okClick();

    std::unique_ptr<Ui::Tform_tmoney> ui;
};

extern Tform_tmoney *form_tmoney;
