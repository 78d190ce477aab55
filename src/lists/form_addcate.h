#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class AddCategoryDialog;
}

// Adds a category, stored as typed. The main window's tree follows the
// catalogue and shows it as a node under its root "全部分类".
class AddCategoryDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit AddCategoryDialog(QWidget *parent = nullptr);
    ~AddCategoryDialog() override;

protected:
    // Starts with an empty name and "添加" disabled.
    void FormShow() override;

private:
    void enableAdd();
    void addCategory();

    std::unique_ptr<Ui::AddCategoryDialog> ui;
};

extern AddCategoryDialog *form_addcate;
