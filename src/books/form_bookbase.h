#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_bookbase;
}

// Shows every field of the book selected in the main window's list. Nothing
// typed here is ever written.
class Tform_bookbase : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_bookbase(QWidget *parent = nullptr);
    ~Tform_bookbase() override;

    Dataset ado_bookbase;

protected:
    void FormShow() override;

private:
    std::unique_ptr<Ui::Tform_bookbase> ui;
};

extern Tform_bookbase *form_bookbase;
