#pragma once

#include <QDialog>

// The common ground of the program's dialogs: created once at start, shown
// modally, hidden again when closed, never destroyed before exit.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FormDialog(QWidget *parent = nullptr);

    // The creation event, run once right after the window is made. The
    // windows that read the data file at start do it here.
    virtual void FormCreate() {}

    // Shows the dialog modally; returns when it has closed.
    int showModal();

protected:
    // The show event, run each time the dialog is shown. Errors are shown
    // in the error box and the dialog still opens.
    virtual void FormShow() {}

    // A fixed single border of this client size, centred on the desktop.
    void setFixedClientSize(int width, int height);

    void showEvent(QShowEvent *event) override;
};
