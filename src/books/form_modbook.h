#pragma once

#include "components/formdialog.h"

class Tform_modbook : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_modbook(QWidget *parent = nullptr);
};

extern Tform_modbook *form_modbook;
