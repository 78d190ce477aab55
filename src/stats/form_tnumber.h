#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_tnumber;
}

// Book counts: the books of each category, then "全部书籍", counted afresh on
// every showing.
class Tform_tnumber : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tnumber(QWidget *parent = nullptr);
    ~Tform_tnumber() override;

    Dataset ado_tnumber1; // the categories
    Dataset ado_tnumber2; // the books

protected:
    void FormShow() override;

private:
    void button_okClick();

    std::unique_ptr<Ui::Tform_tnumber> ui;
};

extern Tform_tnumber *form_tnumber;
