#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_welcome;
}

// The start-up dialog: the title picture and, when the user has set a
// start-up password, the prompt and the masked box. At start a wrong password
// ends the program; shown again by the about command it only shows the
// picture's box and closes on OK.
class Tform_welcome : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_welcome(QWidget *parent = nullptr);
    ~Tform_welcome() override;

    // Decides once whether the password prompt is shown.
    void FormCreate() override;

    // Runs the login: shows the dialog modally and returns true when the user
    // may go on. After it returned true, later showings are the about box.
    bool login();

    Dataset ado_welcome;

protected:
    void FormShow() override;

private:
    void button_okClick();

    std::unique_ptr<Ui::Tform_welcome> ui;
    bool m_loggedIn = false;
};

extern Tform_welcome *form_welcome;
