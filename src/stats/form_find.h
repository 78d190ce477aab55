#pragma once

#include "components/formdialog.h"

class Tform_find : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_find(QWidget *parent = nullptr);
};

extern Tform_find *form_find;
