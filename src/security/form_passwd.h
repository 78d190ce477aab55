#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class PasswordDialog;
}

// Sets, changes or removes the catalogue's start-up password. The old
// password is asked for only while one is set; an empty new password
// removes it.
class PasswordDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget *parent = nullptr);
    ~PasswordDialog() override;

protected:
    // Empties the boxes and decides whether the old password is asked for.
    void FormShow() override;

private:
    void changePassword();

    std::unique_ptr<Ui::PasswordDialog> ui;
};

extern PasswordDialog *form_passwd;
