#pragma once

#include "components/formdialog.h"

#include <QString>

#include <memory>

namespace Ui {
class RenameCategoryDialog;
}

// Renames a category: its row and every book filed under the old name, whole
// or not at all. It is handed the category's name, shown in a box that may
// be changed; the main window's tree follows the catalogue.
class RenameCategoryDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit RenameCategoryDialog(QWidget *parent = nullptr);
    ~RenameCategoryDialog() override;

    // "修改" starts disabled.
    void FormCreate() override;

    // Shows the dialog modally on the category of this name; returns when
    // it has closed.
    int editCategory(const QString &name);

protected:
    // Shows the category handed in and an empty new name.
    void FormShow() override;

private:
    void enableRename();
    void renameCategory();

    std::unique_ptr<Ui::RenameCategoryDialog> ui;
    QString m_category; // the name handed in
};

extern RenameCategoryDialog *form_modcate;
