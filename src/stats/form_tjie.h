#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class LoanStatisticsDialog;
}

// Lending counts: own books, borrowed in, lent out, all books, counted
// afresh on every showing.
class LoanStatisticsDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit LoanStatisticsDialog(QWidget *parent = nullptr);
    ~LoanStatisticsDialog() override;

protected:
    void FormShow() override;

private:
    void showCounts();

    std::unique_ptr<Ui::LoanStatisticsDialog> ui;
};

extern LoanStatisticsDialog *form_tjie;
