#pragma once

#include "components/formdialog.h"

class Tform_tmoney : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tmoney(QWidget *parent = nullptr);
};

extern Tform_tmoney *form_tmoney;
