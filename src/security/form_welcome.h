#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class WelcomeDialog;
}

// The start-up dialog: the title picture and, when the user has set a
// start-up password, the prompt and the masked box. At start a wrong password
// ends the program; shown again by the about command it only shows the
// picture's box and closes on OK.
class WelcomeDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit WelcomeDialog(QWidget *parent = nullptr);
    ~WelcomeDialog() override;

    // Decides once whether the password prompt is shown.
    void FormCreate() override;

    // Runs the login: shows the dialog modally and returns true when the user
    // may go on. After it returned true, later showings are the about box.
    bool login();
    // The login again, for a catalogue opened anew (its password may be
    // another one, or none).
    bool loginAgain();

protected:
    void FormShow() override;

private:
    // Lets the user in when the typed password is the catalogue's; a wrong
    // one ends the login refused. After the login, only closes.
    void checkPassword();

    std::unique_ptr<Ui::WelcomeDialog> ui;
    bool m_loggedIn = false;
};

extern WelcomeDialog *form_welcome;
