#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_addcate;
}

// Adds a category: a row in the category table and a node directly under the
// tree's root "全部分类" of the main window. The name is stored as typed.
class Tform_addcate : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_addcate(QWidget *parent = nullptr);
    ~Tform_addcate() override;

    Dataset ado;

protected:
    void FormShow() override;

private:
    void edit_newChange();
    void button1Click();
    void button2Click();

    std::unique_ptr<Ui::Tform_addcate> ui;
};

extern Tform_addcate *form_addcate;
