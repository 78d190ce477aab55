#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class MoneyStatisticsDialog;
}

// Purchase money: the number of books, the sum of their prices and the
// average per book, computed afresh on every showing. Prices are free text;
// those that are no number are left out of the sum and named in a message.
class MoneyStatisticsDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit MoneyStatisticsDialog(QWidget *parent = nullptr);
    ~MoneyStatisticsDialog() override;

protected:
    void FormShow() override;

private:
    void showMoney();

    std::unique_ptr<Ui::MoneyStatisticsDialog> ui;
};

extern MoneyStatisticsDialog *form_tmoney;
