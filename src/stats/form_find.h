#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class FindDialog;
}

// The book search: finds the books whose title, and optionally category,
// authors, summary or lending counterparty, hold a word, and puts them into
// the main window's book list in place of what it showed.
class FindDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent = nullptr);
    ~FindDialog() override;

protected:
    void FormShow() override;

private:
    // "查找" is open only while there is a word to find.
    void enableFind();
    void findBooks();

    std::unique_ptr<Ui::FindDialog> ui;
};

extern FindDialog *form_find;
