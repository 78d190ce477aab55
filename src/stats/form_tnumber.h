#pragma once

#include "components/formdialog.h"

class Tform_tnumber : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tnumber(QWidget *parent = nullptr);
};

extern Tform_tnumber *form_tnumber;
