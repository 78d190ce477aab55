#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class Tform_bookbase;
}

// Shows every field of the book selected in the main window's list. Nothing
// typed here is ever written.
class BookDetailsDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit BookDetailsDialog(QWidget *parent = nullptr);
    ~BookDetailsDialog() override;

protected:
    void FormShow() override;

private:
    std::unique_ptr<Ui::Tform_bookbase> ui;
};

extern BookDetailsDialog *form_bookbase;
