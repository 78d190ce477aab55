#pragma once

#include "components/formdialog.h"

#include <memory>

namespace Ui {
class CountStatisticsDialog;
}

// Book counts: the books of each category, then "全部书籍", counted afresh on
// every showing.
class CountStatisticsDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit CountStatisticsDialog(QWidget *parent = nullptr);
    ~CountStatisticsDialog() override;

protected:
    void FormShow() override;

private:
    void showCounts();

    std::unique_ptr<Ui::CountStatisticsDialog> ui;
};

extern CountStatisticsDialog *form_tnumber;
