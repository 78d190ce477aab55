#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_modcate;
}

// Renames a category: its row, every book filed under the old name, and the
// node selected in the main window's tree. The change is made whole or not
// at all.
class Tform_modcate : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_modcate(QWidget *parent = nullptr);
    ~Tform_modcate() override;

    void FormCreate() override;

    Dataset ado_modcate;

protected:
    void FormShow() override;

private:
    void edit_modcate2Change();
    void button_modClick();
    void button_closeClick();

    std::unique_ptr<Ui::Tform_modcate> ui;
};

extern Tform_modcate *form_modcate;
