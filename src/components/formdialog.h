#pragma once

#include <QDialog>

class Catalogue;
class CatalogueView;

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

    // The catalogue the dialog works on, handed to every window at start.
    void setCatalogue(Catalogue *catalogue) { m_catalogue = catalogue; }

    // The main window's view of the catalogue, handed to the dialogs that
    // read its selection or change what it shows.
    void setCatalogueView(CatalogueView *view) { m_view = view; }

protected:
    // The show event, run each time the dialog is shown. Errors are shown
    // in the error box and the dialog still opens.
    virtual void FormShow() {}

    // A fixed single border of this client size, centred on the desktop.
    void setFixedClientSize(int width, int height);

    void showEvent(QShowEvent *event) override;

    // The view handed in; a dialog that needs one and was given none is a
    // fault of the program, reported as an error.
    CatalogueView &catalogueView() const;
    // The catalogue handed in; none is a fault of the program, reported as
    // an error.
    Catalogue &catalogue() const;

private:
    Catalogue *m_catalogue = nullptr;
    CatalogueView *m_view = nullptr;
};
