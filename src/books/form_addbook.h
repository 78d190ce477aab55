#pragma once

#include "components/formdialog.h"

class Tform_addbook : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_addbook(QWidget *parent = nullptr);
};

extern Tform_addbook *form_addbook;
